#include "app/tessel_app.h"

#include <new>

#include "ui/tessel_dlg.h"

BEGIN_MESSAGE_MAP(CTesselApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTesselApp::CTesselApp() { m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART; }

// The one application object.
CTesselApp theApp;

BOOL CTesselApp::InitInstance() {
  // Version 6 of the common controls (named in the manifest) draws the
  // dialogs only once their classes are registered.
  INITCOMMONCONTROLSEX initControls;
  initControls.dwSize = sizeof(initControls);
  initControls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&initControls);

  CWinApp::InitInstance();
  AfxEnableControlContainer();

  // Gives dialogs the shell's services; going on without one is harmless.
  CShellManager* shellManager = new (std::nothrow) CShellManager;

  SetRegistryKey(u"应用程序向导生成的本地应用程序");

  CTesselDlg dialog;
  m_pMainWnd = &dialog;
  // Every way the dialog ends (OK, Cancel, or failing to open) ends the
  // program alike, so the result is not looked at.
  dialog.DoModal();

  delete shellManager;

  // FALSE: there is nothing left to run, so the program ends.
  return FALSE;
}
