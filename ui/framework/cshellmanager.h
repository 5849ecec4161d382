// CShellManager: the class it stands in for gives dialogs shell services
// (folder pickers and the like). The program only creates and deletes one at
// start-up and uses none of them, so here it holds nothing and does nothing.
#pragma once

namespace framework {

class CShellManager {};

}  // namespace framework
