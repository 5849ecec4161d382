// The process entry: Windows calls WinMain, which runs the application object.
// The program reads no command line, so the arguments are not looked at.
#include "ui/framework/cwinapp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return framework::AfxWinMain(); }
