#include "platform/headless/ScriptedDialog.h"

#include "platform/NativeWindow.h"

namespace platform::headless {

using platform::ControlKind;
using platform::DialogNotification;

ScriptedDialog::ScriptedDialog(platform::Dialog& dialog, platform::NativeWindow& window)
    : m_dialog(dialog), m_window(window), m_template(dialog.dialogTemplate()) {
    for (const platform::ControlSpec& spec : m_template.controls) {
        Control c;
        c.spec = spec;
        if (spec.kind == ControlKind::SpinEdit) {
            c.text = "0";  // an up-down starts at position 0
        } else if (spec.kind != ControlKind::ComboBox && spec.kind != ControlKind::ListBox &&
                   spec.kind != ControlKind::ListView) {
            c.text = spec.text;
        }
        m_controls.push_back(std::move(c));
    }
}

void ScriptedDialog::init() {
    if (!m_initialised) {
        m_initialised = true;
        m_dialog.onInit(*this);
    }
}

platform::NativeWindow& ScriptedDialog::window() {
    return m_window;
}

void ScriptedDialog::setText(int id, const std::string& text) {
    Control* c = find(id);
    if (c == nullptr || c->text == text) {
        return;
    }
    c->text = text;
    if (c->spec.kind == ControlKind::Edit || c->spec.kind == ControlKind::SpinEdit) {
        notify(c->spec.id, DialogNotification::Changed);
    }
}

std::string ScriptedDialog::text(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->text : std::string();
}

void ScriptedDialog::setChecked(int id, bool checked) {
    if (Control* c = find(id)) {
        c->checked = checked;
    }
}

bool ScriptedDialog::isChecked(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->checked;
}

void ScriptedDialog::setEnabled(int id, bool enabled) {
    if (Control* c = find(id)) {
        c->enabled = enabled;
    }
}

bool ScriptedDialog::isEnabled(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->enabled;
}

void ScriptedDialog::setShown(int id, bool shown) {
    if (Control* c = find(id)) {
        c->shown = shown;
    }
}

void ScriptedDialog::setRange(int id, int minimum, int maximum) {
    if (Control* c = find(id)) {
        c->minimum = minimum;
        c->maximum = maximum;
    }
}

void ScriptedDialog::setPosition(int id, int position) {
    if (const Control* c = find(id)) {
        setText(c->spec.id, std::to_string(position));
    }
}

platform::SpinPosition ScriptedDialog::position(int id) const {
    const Control* c = find(id);
    if (c == nullptr) {
        return {};
    }
    return spinPosition(c->text, c->minimum, c->maximum);
}

void ScriptedDialog::setColour(int id, std::uint32_t colour) {
    if (Control* c = find(id)) {
        c->colour = colour;
    }
}

void ScriptedDialog::insertItem(int id, int index, const std::vector<std::string>& cells) {
    Control* c = find(id);
    if (c == nullptr || !isList(*c)) {
        return;
    }
    if (index < 0 || index > static_cast<int>(c->items.size())) {
        index = static_cast<int>(c->items.size());
    }
    c->items.insert(c->items.begin() + index, cells.empty() ? std::vector<std::string>{""} : cells);
    if (c->selection >= index) {
        ++c->selection;
    }
}

void ScriptedDialog::deleteItem(int id, int index) {
    Control* c = find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size())) {
        return;
    }
    c->items.erase(c->items.begin() + index);
    if (c->selection == index) {
        c->selection = -1;
    } else if (c->selection > index) {
        --c->selection;
    }
}

void ScriptedDialog::clearItems(int id) {
    if (Control* c = find(id)) {
        c->items.clear();
        c->selection = -1;
    }
}

int ScriptedDialog::itemCount(int id) const {
    const Control* c = find(id);
    return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

std::string ScriptedDialog::itemText(int id, int index, int column) const {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size()) || column < 0 ||
        column >= static_cast<int>(c->items[index].size())) {
        return {};
    }
    return c->items[index][column];
}

int ScriptedDialog::selection(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->selection : -1;
}

void ScriptedDialog::select(int id, int index) {
    if (Control* c = find(id)) {
        c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
        if (c->spec.kind == ControlKind::ComboBox && c->selection >= 0) {
            c->text = c->items[c->selection][0];
        }
    }
}

void ScriptedDialog::end(platform::DialogResult result) {
    if (!m_ended) {
        m_ended = true;
        m_result = result;
    }
}

void ScriptedDialog::handleMessage(platform::NativeWindow&, const platform::Message& message) {
    if (message.message == platform::WM_TIMER && !m_ended) {
        m_dialog.onTimer(*this, message.id);
    }
}

bool ScriptedDialog::click(int id) {
    Control* c = find(id);
    if (c == nullptr || m_ended || !c->enabled || !c->shown ||
        (c->spec.kind != ControlKind::Button && c->spec.kind != ControlKind::CheckBox &&
         c->spec.kind != ControlKind::Swatch)) {
        return false;
    }
    if (c->spec.kind == ControlKind::CheckBox) {
        c->checked = !c->checked;
    }
    notify(c->spec.id, DialogNotification::Clicked);
    return true;
}

bool ScriptedDialog::type(int id, const std::string& text) {
    Control* c = usable(id, ControlKind::Edit);
    if (c == nullptr) {
        c = usable(id, ControlKind::SpinEdit);
    }
    if (c == nullptr || !takesText(c->spec.maxBytes, text)) {
        return false;  // as the field refuses what it cannot hold
    }
    setText(c->spec.id, text);
    return true;
}

bool ScriptedDialog::choose(int id, int index) {
    Control* c = find(id);
    if (c == nullptr || m_ended || !c->enabled || !c->shown || !isList(*c) || index < 0 ||
        index >= static_cast<int>(c->items.size())) {
        return false;
    }
    const int before = c->selection;
    select(c->spec.id, index);
    if (before != index) {
        notify(c->spec.id, DialogNotification::SelectionChanged);
    }
    return true;
}

bool ScriptedDialog::doubleClick(int id, int index) {
    if (!choose(id, index) || m_ended) {
        return false;
    }
    notify(find(id)->spec.id, DialogNotification::DoubleClicked);
    return true;
}

bool ScriptedDialog::keyUp(int id, int key) {
    Control* c = find(id);
    if (c == nullptr || m_ended || !c->enabled || !c->shown || !isList(*c) ||
        c->spec.kind == ControlKind::ComboBox) {
        return false;
    }
    notify(c->spec.id, DialogNotification::KeyUp, key);
    return true;
}

bool ScriptedDialog::drag(int id, int from, int to) {
    Control* c = usable(id, ControlKind::ListBox);
    if (c == nullptr || !c->spec.draggable || from < 0 ||
        from >= static_cast<int>(c->items.size())) {
        return false;
    }
    if (to >= static_cast<int>(c->items.size())) {
        to = -1;
    }
    notify(c->spec.id, DialogNotification::ItemDragged, 0, from, to);
    return true;
}

bool ScriptedDialog::pressEscape() {
    if (m_ended) {
        return false;
    }
    notify(platform::Dialog::kCancelId, DialogNotification::Clicked);
    return true;
}

bool ScriptedDialog::pressEnter() {
    if (m_ended) {
        return false;
    }
    for (const Control& c : m_controls) {
        if (c.spec.kind == ControlKind::Button && c.spec.isDefault) {
            return click(c.spec.id);
        }
    }
    notify(platform::Dialog::kOkId, DialogNotification::Clicked);
    return true;
}

bool ScriptedDialog::hasControl(int id) const {
    return find(id) != nullptr;
}

bool ScriptedDialog::isShown(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->shown;
}

int ScriptedDialog::minimum(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->minimum : 0;
}

int ScriptedDialog::maximum(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->maximum : 0;
}

std::uint32_t ScriptedDialog::colour(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->colour : 0;
}

ScriptedDialog::Control* ScriptedDialog::find(int id) {
    return const_cast<Control*>(static_cast<const ScriptedDialog*>(this)->find(id));
}

const ScriptedDialog::Control* ScriptedDialog::find(int id) const {
    if (id == 0) {
        return nullptr;
    }
    for (const Control& c : m_controls) {
        if (c.spec.id == id || (c.spec.buddyId == id && c.spec.kind == ControlKind::SpinEdit)) {
            return &c;
        }
    }
    return nullptr;
}

ScriptedDialog::Control* ScriptedDialog::usable(int id, ControlKind kind) {
    Control* c = find(id);
    if (c == nullptr || m_ended || !c->enabled || !c->shown || c->spec.kind != kind) {
        return nullptr;
    }
    return c;
}

bool ScriptedDialog::isList(const Control& c) const {
    return c.spec.kind == ControlKind::ComboBox || c.spec.kind == ControlKind::ListBox ||
           c.spec.kind == ControlKind::ListView;
}

void ScriptedDialog::notify(int id, DialogNotification code, int key, int from, int to) {
    if (m_ended) {
        return;
    }
    m_dialog.onCommand(*this, platform::DialogCommand{id, code, key, from, to});
}

}  // namespace platform::headless
