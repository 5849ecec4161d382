// Routing a Win32 window's messages to its CWnd. A dialog is subclassed when
// it receives WM_INITDIALOG: from then on its messages go first to the CWnd's
// WindowProc, and default processing is the dialog class's own procedure,
// which is the one saved here.
#pragma once

#include "ui/framework/cwnd.h"

namespace framework::win32 {

// Sends `window`'s messages to `owner` until the window is destroyed.
void Subclass(framework::HWND window, CWnd& owner);

// The window's procedure before Subclass replaced it (the window system's
// default for windows never subclassed), called with a message.
framework::LRESULT CallOriginalProc(framework::HWND window, framework::UINT message,
                                    framework::WPARAM wParam, framework::LPARAM lParam);

}  // namespace framework::win32
