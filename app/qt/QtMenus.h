#pragma once

#include <map>

#include "platform/Menu.h"

class QAction;
class QMenu;

namespace qtmenus {

// Adds items to menu (submenus included). Each command's QAction carries its id as data and is
// entered in actions (when given) so that its state can be changed later.
void fillMenu(QMenu& menu, const platform::Menu& items,
              std::multimap<int, QAction*>* actions = nullptr);

// The command id a QAction of fillMenu stands for, 0 for none.
int commandId(const QAction* action);

// Enables and checks an action as Win32 draws menu items: a check mark only when checked.
void setActionState(QAction& action, bool enabled, bool checked);

}  // namespace qtmenus
