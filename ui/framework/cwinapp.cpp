#include "ui/framework/cwinapp.h"

namespace framework {
namespace {
CWinApp* theApp = nullptr;
}  // namespace

CWinApp::CWinApp(LPCTSTR appName) {
  (void)appName;
  theApp = this;
}

CWinApp::~CWinApp() {
  if (theApp == this) theApp = nullptr;
}

CWinApp* AfxGetApp() { return theApp; }

int AfxWinMain() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  // The main dialog runs inside InitInstance; there is no loop to run after.
  // m_pMainWnd may name a destroyed dialog by now, so nothing here uses it.
  app->InitInstance();
  return 0;
}

}  // namespace framework
