// Painting on the GTK backend. GTK draws the windows itself and never shows
// a minimised window's client area, so a paint context here draws nothing;
// the calls exist with Windows' results so that painting code runs alike.
#include "ui/framework/cdc.h"
#include "ui/framework/cpaintdc.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/gtk/window_system.h"

namespace framework {

struct CPaintDC::PaintState {
  HDC__ context;
};

CPaintDC::CPaintDC(CWnd* window) : window_(window), state_(std::make_unique<PaintState>()) {
  m_hDC = &state_->context;
}

CPaintDC::~CPaintDC() = default;

BOOL CDC::DrawIcon(int, int, HICON icon) { return m_hDC != nullptr && icon != nullptr; }

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    default:
      return 0;
  }
}

}  // namespace framework
