// The About box: the program's name, version and copyright, opened from the
// main window's system menu.
#pragma once

#include "ui/framework/framework.h"

class CAboutDlg : public CDialogEx {
 public:
  CAboutDlg();

  DECLARE_MESSAGE_MAP()
};
