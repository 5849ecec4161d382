// CWinApp: the application object, of which the program defines exactly one,
// statically. The backend's entry routine calls its InitInstance once; when
// that returns, the process ends with status 0.
//
// Unlike the class it stands in for, there is no message loop of the
// application's own (InitInstance is expected to run its main dialog modally
// and return FALSE), the registry key is only remembered (nothing is read or
// written under it), and the restart-manager flags are only a setting: no
// restart is registered with the system.
#pragma once

#include <string>

#include "ui/framework/ccmdtarget.h"
#include "ui/framework/cwnd.h"
#include "ui/framework/types.h"

namespace framework {

class CWinApp : public CCmdTarget {
 public:
  // `appName` is ignored if null: the name is then the executable's.
  explicit CWinApp(LPCTSTR appName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start-up; called once by the entry routine. The base does nothing and
  // returns TRUE.
  virtual BOOL InitInstance() { return TRUE; }

  // Loads icon group `id` from the module that holds it; null if it has none.
  // The icon is shared and must not be destroyed.
  HICON LoadIconW(UINT id) const;

  // Help command handler. The program ships no help, so it does nothing.
  void OnHelp() {}

  // The window that owns dialogs created without a parent.
  CWnd* m_pMainWnd = nullptr;
  // AFX_RESTART_MANAGER_SUPPORT_* flags.
  DWORD m_dwRestartManagerSupportFlags = 0;

 protected:
  // Names the per-user settings key. Remembered only; see above.
  void SetRegistryKey(LPCTSTR key) { registryKey_ = key ? key : u""; }

 private:
  std::u16string registryKey_;
};

// The application object; null before it is constructed.
CWinApp* AfxGetApp();

// Runs the application object: the body of the backend's entry routine.
// Returns the process exit status.
int AfxWinMain();

// The module that holds resource `name` of `type`: the executable itself.
HINSTANCE AfxFindResourceHandle(LPCTSTR name, LPCTSTR type);

// Would prepare hosting of ActiveX controls; the program hosts none, so
// this does nothing.
inline void AfxEnableControlContainer(void* manager = nullptr) { (void)manager; }

// Registers the common control classes in `init->dwICC`; TRUE on success.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// The system metric `index` (SM_CXICON, SM_CYICON) in pixels.
int GetSystemMetrics(int index);

}  // namespace framework
