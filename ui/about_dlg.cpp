#include "ui/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialogEx(IDD_ABOUT) {}

// Its OK button, Enter, Esc and the close box all end it through the base's
// default IDOK and IDCANCEL handling.
BEGIN_MESSAGE_MAP(CAboutDlg, CDialogEx)
END_MESSAGE_MAP()
