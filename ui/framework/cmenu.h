// CMenu: a wrapper of a menu handle, such as a window's system menu.
#pragma once

#include "ui/framework/types.h"

namespace framework {

class CMenu {
 public:
  HMENU m_hMenu = nullptr;

  // A wrapper of `menu`, kept for the life of the program; null for null.
  static CMenu* FromHandle(HMENU menu);

  // Appends an item to the end of the menu: a separator (MF_SEPARATOR) or a
  // text item (MF_STRING) that sends command `id`; in the text, & marks the
  // access key. Returns TRUE on success.
  BOOL AppendMenuW(UINT flags, UINT_PTR id = 0, LPCTSTR text = nullptr);
};

}  // namespace framework
