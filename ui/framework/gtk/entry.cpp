// The process entry: opens the display and runs the application object.
//
// GTK is given no arguments: the program reads no command line, and GTK's
// own options (--display and the rest) must not change what it does either.
#include "ui/framework/cwinapp.h"
#include "ui/framework/gtk/window_system.h"

#include <unistd.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

std::atomic<bool> leaving{false};

// GDK's own handler for a lost X connection leaves with _exit(), silently,
// skipping the clean-up that removes the accessibility bridge's socket. This
// one says what happened and leaves through exit(), so that clean-up runs;
// if the clean-up itself touches the display again, the second call ends
// the process at once.
int OnDisplayLost(Display*) {
  if (leaving.exchange(true)) _exit(1);
  std::fprintf(stderr, "tessel: lost the connection to the display; quitting\n");
  std::exit(1);
}

}  // namespace

int main() {
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "tessel: cannot open the display; set DISPLAY to an X server\n");
    return 1;
  }
  if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(OnDisplayLost);
  return framework::AfxWinMain();
}
