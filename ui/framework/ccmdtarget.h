// CCmdTarget: the root of every class that has a message map.
#pragma once

#include "ui/framework/message_map.h"
#include "ui/framework/types.h"

namespace framework {

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;

  // Runs the handler that this object's message map (or a base's) has for
  // `message` and returns TRUE, with the handler's result in `result`;
  // returns FALSE, leaving `result` alone, when no entry matches. For
  // WM_COMMAND the notification code and ID come from `wParam`, and a
  // command from a menu or accelerator (no control in `lParam`) matches
  // ON_COMMAND entries.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 protected:
  // The root table: no entries, no base.
  static const MessageMap* GetThisMessageMap();
  virtual const MessageMap* GetMessageMap() const;
};

}  // namespace framework
