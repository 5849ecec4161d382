// CDC: a device context to draw into.
#pragma once

#include "ui/framework/types.h"

namespace framework {

class CDC {
 public:
  HDC m_hDC = nullptr;
  HDC GetSafeHdc() const { return m_hDC; }

  // Draws `icon` at its system size with its top-left corner at (x, y).
  BOOL DrawIcon(int x, int y, HICON icon);
};

}  // namespace framework
