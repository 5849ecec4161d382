// Message maps: static tables that bind a message, a notification code and a
// control ID to a handler of the class that declares the table.
//
// Each entry holds a small function that calls the handler through a member
// pointer of the exact type the message needs, so a handler with the wrong
// signature does not compile. Tables chain to their base class's table, and
// the first matching entry, from the most derived class up, wins.
//
//   class CMyDlg : public CDialogEx {
//     ...
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialogEx)
//     ON_WM_PAINT()
//     ON_BN_CLICKED(IDC_GO, &CMyDlg::OnGoClicked)
//   END_MESSAGE_MAP()
#pragma once

#include <type_traits>

#include "ui/framework/types.h"

namespace framework {

class CCmdTarget;

struct MessageMapEntry {
  UINT message;  // 0 ends a table
  UINT code;     // for WM_COMMAND: the notification code
  UINT id;       // for WM_COMMAND: the control or command ID
  LRESULT (*call)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
  const MessageMap* (*base)();  // null at the root
  const MessageMapEntry* entries;
};

namespace message_map_detail {

template <class Member>
struct MemberTraits : std::false_type {};
template <class Class, class Result, class... Args>
struct MemberTraits<Result (Class::*)(Args...)> : std::true_type {
  using ClassType = Class;
  using Signature = Result(Args...);
};

// True if `Handler` is a non-const member of T or of one of its bases with the
// signature `Signature`.
template <class T, auto Handler, class Signature>
constexpr bool IsHandlerOf() {
  using Traits = MemberTraits<decltype(Handler)>;
  if constexpr (Traits::value) {
    return std::is_same_v<typename Traits::Signature, Signature> &&
           std::is_base_of_v<typename Traits::ClassType, T>;
  } else {
    return false;
  }
}

}  // namespace message_map_detail

// The entry makers below are used through the ON_ macros, which name the
// handler from inside the class (so a protected handler is reachable) and
// pass it as `Handler`; the static_asserts reject any other signature.

// WM_COMMAND with notification `code` from control or command `id`, handled by
// `void Handler()`.
template <class T, auto Handler>
constexpr MessageMapEntry CommandEntry(UINT code, UINT id) {
  static_assert(message_map_detail::IsHandlerOf<T, Handler, void()>(),
                "a command handler must be a member 'void Handler()'");
  return {WM_COMMAND, code, id, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
            (static_cast<T&>(target).*Handler)();
            return 0;
          }};
}

// WM_SYSCOMMAND, handled by `void OnSysCommand(UINT nID, LPARAM lParam)`.
template <class T, auto Handler>
constexpr MessageMapEntry SysCommandEntry() {
  static_assert(message_map_detail::IsHandlerOf<T, Handler, void(UINT, LPARAM)>(),
                "OnSysCommand must be 'void OnSysCommand(UINT, LPARAM)'");
  return {WM_SYSCOMMAND, 0, 0, [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) -> LRESULT {
            (static_cast<T&>(target).*Handler)(static_cast<UINT>(wParam), lParam);
            return 0;
          }};
}

// WM_PAINT, handled by `void OnPaint()`.
template <class T, auto Handler>
constexpr MessageMapEntry PaintEntry() {
  static_assert(message_map_detail::IsHandlerOf<T, Handler, void()>(),
                "OnPaint must be 'void OnPaint()'");
  return {WM_PAINT, 0, 0, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
            (static_cast<T&>(target).*Handler)();
            return 0;
          }};
}

// WM_QUERYDRAGICON, handled by `HCURSOR OnQueryDragIcon()`.
template <class T, auto Handler>
constexpr MessageMapEntry QueryDragIconEntry() {
  static_assert(message_map_detail::IsHandlerOf<T, Handler, HCURSOR()>(),
                "OnQueryDragIcon must be 'HCURSOR OnQueryDragIcon()'");
  return {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget& target, WPARAM, LPARAM) -> LRESULT {
            return reinterpret_cast<LRESULT>((static_cast<T&>(target).*Handler)());
          }};
}

// Finds the first entry for `message` (and, for WM_COMMAND, `code` and `id`)
// in `map` or the maps it chains to; null if there is none.
const MessageMapEntry* FindMessageEntry(const MessageMap* map, UINT message, UINT code, UINT id);

}  // namespace framework

#define DECLARE_MESSAGE_MAP()                                \
 protected:                                                  \
  static const ::framework::MessageMap* GetThisMessageMap(); \
  const ::framework::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                   \
  const ::framework::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const ::framework::MessageMap* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                                 \
    using TheBaseClass = baseClass;                                                              \
    static constexpr ::framework::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                                     \
  { 0, 0, 0, nullptr }                                                                        \
  }                                                                                           \
  ;                                                                                           \
  static constexpr ::framework::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                                                \
  }

#define ON_COMMAND(id, memberFxn) \
  ::framework::CommandEntry<ThisClass, memberFxn>(::framework::BN_CLICKED, id),
#define ON_BN_CLICKED(id, memberFxn) \
  ::framework::CommandEntry<ThisClass, memberFxn>(::framework::BN_CLICKED, id),
#define ON_EN_UPDATE(id, memberFxn) \
  ::framework::CommandEntry<ThisClass, memberFxn>(::framework::EN_UPDATE, id),
#define ON_WM_SYSCOMMAND() ::framework::SysCommandEntry<ThisClass, &ThisClass::OnSysCommand>(),
#define ON_WM_PAINT() ::framework::PaintEntry<ThisClass, &ThisClass::OnPaint>(),
#define ON_WM_QUERYDRAGICON() \
  ::framework::QueryDragIconEntry<ThisClass, &ThisClass::OnQueryDragIcon>(),
