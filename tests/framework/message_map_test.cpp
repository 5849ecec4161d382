// Message-map dispatch: which handler a message reaches, through the chain of
// base-class tables, and what it returns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/framework/ccmdtarget.h"
#include "ui/framework/message_map.h"

namespace {

using namespace framework;

// Records which handler ran.
class Base : public CCmdTarget {
 public:
  std::vector<std::string> calls;

  void OnBaseCommand() { calls.push_back("base-command"); }
  void OnShadowed() { calls.push_back("base-shadowed"); }
  void OnPaint() { calls.push_back("base-paint"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Base, CCmdTarget)
  ON_COMMAND(7, &Base::OnBaseCommand)
  ON_BN_CLICKED(9, &Base::OnShadowed)
  ON_WM_PAINT()
END_MESSAGE_MAP()

class Derived : public Base {
 public:
  void OnUpdate() { calls.push_back("update"); }
  void OnClicked() { calls.push_back("clicked"); }
  void OnShadowed() { calls.push_back("derived-shadowed"); }
  void OnSysCommand(UINT id, LPARAM lParam) {
    calls.push_back("syscommand " + std::to_string(id) + " " + std::to_string(lParam));
  }
  HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(std::uintptr_t{0x1234}); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Derived, Base)
  ON_EN_UPDATE(1000, &Derived::OnUpdate)
  ON_BN_CLICKED(1002, &Derived::OnClicked)
  ON_BN_CLICKED(9, &Derived::OnShadowed)
  ON_WM_SYSCOMMAND()
  ON_WM_QUERYDRAGICON()
  // A second entry for the same command is never reached: the first wins.
  ON_BN_CLICKED(1002, &Derived::OnShadowed)
END_MESSAGE_MAP()

constexpr WPARAM Command(unsigned code, unsigned id) { return (code << 16) | id; }
const LPARAM kControl = 0x4242;  // any non-null control handle

TEST(MessageMap, SendsEachMessageToItsHandler) {
  const struct {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string handled;  // empty: no entry matches
  } cases[] = {
      {"EN_UPDATE from 1000", WM_COMMAND, Command(EN_UPDATE, 1000), kControl, "update"},
      {"BN_CLICKED from 1002", WM_COMMAND, Command(BN_CLICKED, 1002), kControl, "clicked"},
      {"derived entry shadows the base's", WM_COMMAND, Command(BN_CLICKED, 9), kControl,
       "derived-shadowed"},
      {"base entry through the chain", WM_COMMAND, Command(BN_CLICKED, 7), kControl,
       "base-command"},
      {"accelerator (code 1, no control) is a command", WM_COMMAND, Command(1, 7), 0,
       "base-command"},
      {"menu command", WM_COMMAND, Command(0, 7), 0, "base-command"},
      {"base's WM_PAINT", WM_PAINT, 0, 0, "base-paint"},
      {"WM_SYSCOMMAND with its parameters", WM_SYSCOMMAND, 0xF060, 77, "syscommand 61536 77"},
      {"wrong notification code", WM_COMMAND, Command(EN_UPDATE, 1002), kControl, ""},
      {"wrong control", WM_COMMAND, Command(EN_UPDATE, 1001), kControl, ""},
      {"message with no entry", WM_SETICON, 0, 0, ""},
  };
  for (const auto& c : cases) {
    Derived target;
    LRESULT result = -1;
    const BOOL handled = target.OnWndMsg(c.message, c.wParam, c.lParam, &result);
    if (c.handled.empty()) {
      EXPECT_FALSE(handled) << c.what;
      EXPECT_EQ(result, -1) << c.what << ": result touched";
      EXPECT_TRUE(target.calls.empty()) << c.what;
    } else {
      EXPECT_TRUE(handled) << c.what;
      ASSERT_EQ(target.calls.size(), 1u) << c.what;
      EXPECT_EQ(target.calls[0], c.handled) << c.what;
    }
  }
}

TEST(MessageMap, ReturnsTheHandlersResult) {
  Derived target;
  LRESULT result = 0;
  ASSERT_TRUE(target.OnWndMsg(WM_QUERYDRAGICON, 0, 0, &result));
  EXPECT_EQ(result, 0x1234);
}

TEST(MessageMap, BaseObjectsDoNotSeeDerivedEntries) {
  Base target;
  LRESULT result = 0;
  EXPECT_FALSE(target.OnWndMsg(WM_COMMAND, Command(EN_UPDATE, 1000), kControl, &result));
  EXPECT_TRUE(target.OnWndMsg(WM_COMMAND, Command(BN_CLICKED, 9), kControl, &result));
  EXPECT_EQ(target.calls, std::vector<std::string>{"base-shadowed"});
}

}  // namespace
