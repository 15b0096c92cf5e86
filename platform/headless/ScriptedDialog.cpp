#include "platform/headless/ScriptedDialog.h"

#include "platform/NativeWindow.h"

namespace testing_support {

using platform::ControlKind;
using platform::DialogNotification;

FakeDialog::FakeDialog(platform::Dialog& dialog, platform::NativeWindow& window)
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

void FakeDialog::init() {
    if (!m_initialised) {
        m_initialised = true;
        m_dialog.onInit(*this);
    }
}

platform::NativeWindow& FakeDialog::window() {
    return m_window;
}

void FakeDialog::setText(int id, const std::string& text) {
    Control* c = find(id);
    if (c == nullptr || c->text == text) {
        return;
    }
    c->text = text;
    if (c->spec.kind == ControlKind::Edit || c->spec.kind == ControlKind::SpinEdit) {
        notify(c->spec.id, DialogNotification::Changed);
    }
}

std::string FakeDialog::text(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->text : std::string();
}

void FakeDialog::setChecked(int id, bool checked) {
    if (Control* c = find(id)) {
        c->checked = checked;
    }
}

bool FakeDialog::isChecked(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->checked;
}

void FakeDialog::setEnabled(int id, bool enabled) {
    if (Control* c = find(id)) {
        c->enabled = enabled;
    }
}

bool FakeDialog::isEnabled(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->enabled;
}

void FakeDialog::setShown(int id, bool shown) {
    if (Control* c = find(id)) {
        c->shown = shown;
    }
}

void FakeDialog::setRange(int id, int minimum, int maximum) {
    if (Control* c = find(id)) {
        c->minimum = minimum;
        c->maximum = maximum;
    }
}

void FakeDialog::setPosition(int id, int position) {
    if (const Control* c = find(id)) {
        setText(c->spec.id, std::to_string(position));
    }
}

platform::SpinPosition FakeDialog::position(int id) const {
    const Control* c = find(id);
    if (c == nullptr) {
        return {};
    }
    return spinPosition(c->text, c->minimum, c->maximum);
}

void FakeDialog::setColour(int id, std::uint32_t colour) {
    if (Control* c = find(id)) {
        c->colour = colour;
    }
}

void FakeDialog::insertItem(int id, int index, const std::vector<std::string>& cells) {
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

void FakeDialog::deleteItem(int id, int index) {
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

void FakeDialog::clearItems(int id) {
    if (Control* c = find(id)) {
        c->items.clear();
        c->selection = -1;
    }
}

int FakeDialog::itemCount(int id) const {
    const Control* c = find(id);
    return c != nullptr ? static_cast<int>(c->items.size()) : 0;
}

std::string FakeDialog::itemText(int id, int index, int column) const {
    const Control* c = find(id);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->items.size()) || column < 0 ||
        column >= static_cast<int>(c->items[index].size())) {
        return {};
    }
    return c->items[index][column];
}

int FakeDialog::selection(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->selection : -1;
}

void FakeDialog::select(int id, int index) {
    if (Control* c = find(id)) {
        c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
        if (c->spec.kind == ControlKind::ComboBox && c->selection >= 0) {
            c->text = c->items[c->selection][0];
        }
    }
}

void FakeDialog::end(platform::DialogResult result) {
    if (!m_ended) {
        m_ended = true;
        m_result = result;
    }
}

void FakeDialog::handleMessage(platform::NativeWindow&, const platform::Message& message) {
    if (message.message == platform::WM_TIMER && !m_ended) {
        m_dialog.onTimer(*this, message.id);
    }
}

bool FakeDialog::click(int id) {
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

bool FakeDialog::type(int id, const std::string& text) {
    Control* c = usable(id, ControlKind::Edit);
    if (c == nullptr) {
        c = usable(id, ControlKind::SpinEdit);
    }
    if (c == nullptr || !takesText(c->spec, text)) {
        return false;  // as the field refuses what it cannot hold
    }
    setText(c->spec.id, text);
    return true;
}

bool FakeDialog::choose(int id, int index) {
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

bool FakeDialog::doubleClick(int id, int index) {
    if (!choose(id, index) || m_ended) {
        return false;
    }
    notify(find(id)->spec.id, DialogNotification::DoubleClicked);
    return true;
}

bool FakeDialog::keyUp(int id, int key) {
    Control* c = find(id);
    if (c == nullptr || m_ended || !c->enabled || !c->shown || !isList(*c) ||
        c->spec.kind == ControlKind::ComboBox) {
        return false;
    }
    notify(c->spec.id, DialogNotification::KeyUp, key);
    return true;
}

bool FakeDialog::drag(int id, int from, int to) {
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

bool FakeDialog::pressEscape() {
    if (m_ended) {
        return false;
    }
    notify(platform::Dialog::kCancelId, DialogNotification::Clicked);
    return true;
}

bool FakeDialog::pressEnter() {
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

bool FakeDialog::hasControl(int id) const {
    return find(id) != nullptr;
}

bool FakeDialog::isShown(int id) const {
    const Control* c = find(id);
    return c != nullptr && c->shown;
}

int FakeDialog::minimum(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->minimum : 0;
}

int FakeDialog::maximum(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->maximum : 0;
}

std::uint32_t FakeDialog::colour(int id) const {
    const Control* c = find(id);
    return c != nullptr ? c->colour : 0;
}

FakeDialog::Control* FakeDialog::find(int id) {
    return const_cast<Control*>(static_cast<const FakeDialog*>(this)->find(id));
}

const FakeDialog::Control* FakeDialog::find(int id) const {
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

FakeDialog::Control* FakeDialog::usable(int id, ControlKind kind) {
    Control* c = find(id);
    if (c == nullptr || m_ended || !c->enabled || !c->shown || c->spec.kind != kind) {
        return nullptr;
    }
    return c;
}

bool FakeDialog::isList(const Control& c) const {
    return c.spec.kind == ControlKind::ComboBox || c.spec.kind == ControlKind::ListBox ||
           c.spec.kind == ControlKind::ListView;
}

void FakeDialog::notify(int id, DialogNotification code, int key, int from, int to) {
    if (m_ended) {
        return;
    }
    platform::DialogCommand command;
    command.control = id;
    command.code = code;
    command.key = key;
    command.from = from;
    command.to = to;
    m_dialog.onCommand(*this, command);
}

}  // namespace testing_support
