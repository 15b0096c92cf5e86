#pragma once

#include <string>
#include <vector>

namespace platform {

// One entry of a menu bar or popup menu. Text marks its mnemonic with '&' ("コピー(&C)"); hint
// is shown right-aligned after it ("Ctrl+C") and is only a hint: keys are handled by the
// windows. Choosing a command yields its id.
struct MenuItem {
    enum class Kind { Command, Separator, Submenu };

    Kind kind = Kind::Command;
    int id = 0;
    std::string text;
    std::string hint;
    bool enabled = true;
    bool checked = false;
    std::vector<MenuItem> items;  // a submenu's entries

    static MenuItem command(int id, std::string text, std::string hint = {}) {
        MenuItem item;
        item.id = id;
        item.text = std::move(text);
        item.hint = std::move(hint);
        return item;
    }
    static MenuItem separator() {
        MenuItem item;
        item.kind = Kind::Separator;
        return item;
    }
    static MenuItem submenu(std::string text, std::vector<MenuItem> items) {
        MenuItem item;
        item.kind = Kind::Submenu;
        item.text = std::move(text);
        item.items = std::move(items);
        return item;
    }
    MenuItem& setEnabled(bool on) {
        enabled = on;
        return *this;
    }
    MenuItem& setChecked(bool on) {
        checked = on;
        return *this;
    }
};

using Menu = std::vector<MenuItem>;

}  // namespace platform
