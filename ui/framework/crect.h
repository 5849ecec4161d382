// A rectangle with the helpers the dialogs use; layout-compatible with RECT.
#pragma once

#include "ui/framework/types.h"

namespace framework {

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(long l, long t, long r, long b) : RECT{l, t, r, b} {}

  int Width() const { return static_cast<int>(right - left); }
  int Height() const { return static_cast<int>(bottom - top); }
  operator LPRECT() { return this; }
};

}  // namespace framework
