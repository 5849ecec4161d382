#include "ui/tessel_dlg.h"

#include <cstddef>

#include "core/checksum.h"
#include "res/resource.h"
#include "ui/about_dlg.h"

CTesselDlg::CTesselDlg() : CDialogEx(IDD_MAIN), m_appIcon(AfxGetApp()->LoadIconW(IDI_APP)) {}

BEGIN_MESSAGE_MAP(CTesselDlg, CDialogEx)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_EN_UPDATE(IDC_RECORD_EDIT, &CTesselDlg::OnRecordTextUpdate)
  ON_BN_CLICKED(IDC_CALCULATE, &CTesselDlg::OnCalculateClicked)
END_MESSAGE_MAP()

BOOL CTesselDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();

  // The About item goes at the end of the system menu, after a separator.
  if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
    CString aboutText;
    aboutText.LoadStringW(IDS_ABOUT_MENU);
    if (!aboutText.IsEmpty()) {
      systemMenu->AppendMenuW(MF_SEPARATOR);
      systemMenu->AppendMenuW(MF_STRING, IDM_ABOUT, aboutText);
    }
  }

  SetIcon(m_appIcon, TRUE);
  SetIcon(m_appIcon, FALSE);

  // Let the window system focus the first tab stop: the record field.
  return TRUE;
}

void CTesselDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  // The window system uses the low four bits of a system command itself.
  if ((nID & 0xFFF0) == IDM_ABOUT) {
    CAboutDlg about;
    about.DoModal();
  } else {
    CDialogEx::OnSysCommand(nID, lParam);
  }
}

// The window has no minimise box, but where the window system shows it
// minimised and asks it to paint, the icon is drawn centred.
void CTesselDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessageW(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - iconWidth + 1) / 2;
    const int y = (rect.Height() - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_appIcon);
  } else {
    CDialogEx::OnPaint();
  }
}

// The cursor shown while the minimised window is dragged.
HCURSOR CTesselDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_appIcon); }

// The record field is about to show changed text: show its new length.
void CTesselDlg::OnRecordTextUpdate() {
  GetDlgItem(IDC_RECORD_EDIT)->GetWindowTextW(m_recordText);
  const auto length = static_cast<std::size_t>(m_recordText.GetLength());
  GetDlgItem(IDC_LENGTH_EDIT)->SetWindowTextW(CString(FormatLengthText(length).c_str()));
}

// Reads the field afresh rather than trusting the last update.
void CTesselDlg::OnCalculateClicked() {
  GetDlgItem(IDC_RECORD_EDIT)->GetWindowTextW(m_recordText);
  const std::string checksum = ComputeChecksumText(m_recordText);
  GetDlgItem(IDC_CHECKSUM_EDIT)->SetWindowTextW(CString(checksum.c_str()));
}
