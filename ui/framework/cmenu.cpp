#include "ui/framework/cmenu.h"

#include <map>
#include <memory>

namespace framework {

CMenu* CMenu::FromHandle(HMENU menu) {
  if (menu == nullptr) return nullptr;
  // A window has one system menu and the program one window at a time, so
  // keeping every wrapper ever asked for costs a few bytes.
  static std::map<HMENU, std::unique_ptr<CMenu>> wrappers;
  auto& wrapper = wrappers[menu];
  if (!wrapper) {
    wrapper = std::make_unique<CMenu>();
    wrapper->m_hMenu = menu;
  }
  return wrapper.get();
}

}  // namespace framework
