// Compiled by the message_map_signatures test: with CORRECT defined it must
// build; with any one of the WRONG_* macros it must not, because the handler
// named in the table has the wrong signature for its message.
#include "ui/framework/ccmdtarget.h"
#include "ui/framework/message_map.h"

using namespace framework;

class Target : public CCmdTarget {
 public:
  void OnCommand() {}
  int OnCommandWithResult() { return 0; }
  void OnCommandWithArgument(int) {}
  void OnSysCommand(UINT, LPARAM) {}
  void OnPaint() {}
  HCURSOR OnQueryDragIcon() { return nullptr; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Target, CCmdTarget)
#if defined(CORRECT)
  ON_BN_CLICKED(1, &Target::OnCommand)
  ON_EN_UPDATE(2, &Target::OnCommand)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
#elif defined(WRONG_RESULT)
  ON_BN_CLICKED(1, &Target::OnCommandWithResult)
#elif defined(WRONG_ARGUMENT)
  ON_EN_UPDATE(2, &Target::OnCommandWithArgument)
#elif defined(NOT_A_MEMBER_OF_THE_CLASS)
  ON_COMMAND(3, &CCmdTarget::OnWndMsg)
#endif
END_MESSAGE_MAP()

int main() { return 0; }
