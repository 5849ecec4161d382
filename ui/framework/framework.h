// What the dialog and application code include: the whole framework layer,
// with its names brought to global scope as the class library it stands in
// for has them. Framework and backend sources include the individual headers
// instead, and keep the names in namespace framework.
#pragma once

#include "ui/framework/cdc.h"
#include "ui/framework/cdialog.h"
#include "ui/framework/cdialogex.h"
#include "ui/framework/cmenu.h"
#include "ui/framework/cpaintdc.h"
#include "ui/framework/crect.h"
#include "ui/framework/cshellmanager.h"
#include "ui/framework/cstring.h"
#include "ui/framework/cwinapp.h"
#include "ui/framework/cwnd.h"
#include "ui/framework/message_map.h"
#include "ui/framework/types.h"

using namespace framework;  // NOLINT: the program uses the framework's names unqualified
