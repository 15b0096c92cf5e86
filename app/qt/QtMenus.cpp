#include "app/qt/QtMenus.h"

#include <QAction>
#include <QMenu>

#include "app/qt/QtConvert.h"
#include "app/qt/QtTexts.h"

namespace qtmenus {

void fillMenu(QMenu& menu, const platform::Menu& items, std::multimap<int, QAction*>* actions) {
    for (const platform::MenuItem& item : items) {
        switch (item.kind) {
            case platform::MenuItem::Kind::Separator:
                menu.addSeparator();
                break;
            case platform::MenuItem::Kind::Submenu: {
                QMenu* sub = menu.addMenu(qttexts::translated(item.text));
                sub->setEnabled(item.enabled);
                fillMenu(*sub, item.items, actions);
                break;
            }
            case platform::MenuItem::Kind::Command: {
                // Qt draws what follows a tab right-aligned, as Win32 does.
                QString text = qttexts::translated(item.text);
                if (!item.hint.empty()) {
                    text += QLatin1Char('\t') + qtconvert::toQt(item.hint);
                }
                QAction* action = menu.addAction(text);
                action->setData(item.id);
                setActionState(*action, item.enabled, item.checked);
                if (actions != nullptr) {
                    actions->emplace(item.id, action);
                }
                break;
            }
        }
    }
}

int commandId(const QAction* action) {
    return action != nullptr ? action->data().toInt() : 0;
}

void setActionState(QAction& action, bool enabled, bool checked) {
    action.setEnabled(enabled);
    action.setCheckable(checked);
    action.setChecked(checked);
}

}  // namespace qtmenus
