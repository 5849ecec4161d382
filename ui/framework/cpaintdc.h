// CPaintDC: the device context for answering WM_PAINT, opened on construction
// and closed on destruction.
#pragma once

#include <memory>

#include "ui/framework/cdc.h"
#include "ui/framework/cwnd.h"

namespace framework {

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

 private:
  struct PaintState;  // the backend's record of the paint in progress
  CWnd* window_;
  std::unique_ptr<PaintState> state_;
};

}  // namespace framework
