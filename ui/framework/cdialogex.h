// CDialogEx: the dialog base that the program's dialogs derive from. It adds
// nothing to CDialog here; the class it stands in for adds background colours
// and images, which the program does not use.
#pragma once

#include "ui/framework/cdialog.h"

namespace framework {

class CDialogEx : public CDialog {
 public:
  using CDialog::CDialog;

  DECLARE_MESSAGE_MAP()
};

}  // namespace framework
