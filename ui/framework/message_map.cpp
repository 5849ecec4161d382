#include "ui/framework/message_map.h"

#include "ui/framework/ccmdtarget.h"

namespace framework {

const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, UINT code, UINT id) {
  for (; map != nullptr; map = map->base ? map->base() : nullptr) {
    for (const MessageMapEntry* entry = map->entries; entry->message != 0; ++entry) {
      if (entry->message != message) continue;
      if (message == WM_COMMAND && (entry->code != code || entry->id != id)) continue;
      return entry;
    }
  }
  return nullptr;
}

const MessageMap* CCmdTarget::GetThisMessageMap() {
  static constexpr MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
  static constexpr MessageMap map = {nullptr, entries};
  return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  UINT code = 0;
  UINT id = 0;
  if (message == WM_COMMAND) {
    id = LOWORD(wParam);
    // Menus and accelerators send no control handle; they are plain commands.
    code = lParam == 0 ? BN_CLICKED : HIWORD(wParam);
  }
  const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), message, code, id);
  if (entry == nullptr) return FALSE;
  *result = entry->call(*this, wParam, lParam);
  return TRUE;
}

}  // namespace framework
