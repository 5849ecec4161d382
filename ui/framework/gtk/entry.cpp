// The process entry: opens the display and runs the application object.
//
// GTK is given no arguments: the program reads no command line, and GTK's
// own options (--display and the rest) must not change what it does either.
#include <cstdio>

#include "ui/framework/cwinapp.h"
#include "ui/framework/gtk/window_system.h"

int main() {
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "tessel: cannot open the display; set DISPLAY to an X server\n");
    return 1;
  }
  return framework::AfxWinMain();
}
