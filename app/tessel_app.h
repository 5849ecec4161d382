// The application object: runs the main dialog and then ends the program.
#pragma once

#include "ui/framework/framework.h"

class CTesselApp : public CWinApp {
 public:
  CTesselApp();

  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
