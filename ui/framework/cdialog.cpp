#include "ui/framework/cdialog.h"

#include "ui/framework/cdialogex.h"
#include "ui/framework/cwinapp.h"

namespace framework {

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CDialogEx, CDialog)
END_MESSAGE_MAP()

HWND CDialog::OwnerForModalRun() const {
  const CWnd* owner = parent_;
  if (owner == nullptr) {
    CWinApp* app = AfxGetApp();
    owner = app ? app->m_pMainWnd : nullptr;
  }
  if (owner == nullptr || owner == this) return nullptr;
  return owner->m_hWnd;
}

}  // namespace framework
