#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/MessageHandler.h"

namespace platform::headless {

// The controls of one running dialog (or sheet page) in memory, made by HeadlessHost::runDialog
// and handed to the dialog script: what the dialog sets can be read back, and the script acts as
// the user through click, type, choose and friends, which notify the dialog as the window system
// would. User actions on a missing, disabled or hidden control, or after the dialog ended, do
// nothing and return false.
class ScriptedDialog : public platform::DialogControls, public platform::MessageHandler {
public:
    ScriptedDialog(platform::Dialog& dialog, platform::NativeWindow& window);

    // Calls onInit once.
    void init();

    // --- The controls port, as the dialog's code uses it.
    platform::NativeWindow& window() override;
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isChecked(int id) const override;
    void setEnabled(int id, bool enabled) override;
    bool isEnabled(int id) const override;
    void setShown(int id, bool shown) override;
    void setRange(int id, int minimum, int maximum) override;
    void setPosition(int id, int position) override;
    platform::SpinPosition position(int id) const override;
    void setColour(int id, std::uint32_t colour) override;
    void insertItem(int id, int index, const std::vector<std::string>& cells) override;
    void deleteItem(int id, int index) override;
    void clearItems(int id) override;
    int itemCount(int id) const override;
    std::string itemText(int id, int index, int column = 0) const override;
    int selection(int id) const override;
    void select(int id, int index) override;
    void end(platform::DialogResult result) override;

    // Timers of the dialog's window reach the dialog's onTimer until it ends.
    void handleMessage(platform::NativeWindow& window, const platform::Message& message) override;

    // --- The user's side: true when the action reached a usable control.
    bool click(int id);
    bool type(int id, const std::string& text);  // edits (within maxBytes) and spin edits
    bool choose(int id, int index);              // combo boxes and lists
    bool doubleClick(int id, int index);         // lists: selects, then DoubleClicked
    bool keyUp(int id, int key);                 // lists
    bool drag(int id, int from, int to);         // draggable list boxes
    bool pressEscape();                          // Clicked on Cancel (2)
    bool pressEnter();                           // Clicked on the default button, else OK (1)

    // --- What the script reads.
    const platform::DialogTemplate& layout() const { return m_template; }
    bool hasControl(int id) const;
    bool isShown(int id) const;
    int minimum(int id) const;
    int maximum(int id) const;
    std::uint32_t colour(int id) const;
    bool hasEnded() const { return m_ended; }
    platform::DialogResult result() const { return m_result; }
    platform::Dialog& dialog() { return m_dialog; }

private:
    struct Control {
        platform::ControlSpec spec;
        std::string text;
        bool checked = false;
        bool enabled = true;
        bool shown = true;
        int minimum = 0;
        int maximum = 100;
        std::uint32_t colour = 0;
        std::vector<std::vector<std::string>> items;
        int selection = -1;
    };

    Control* find(int id);
    const Control* find(int id) const;
    Control* usable(int id, platform::ControlKind kind);
    bool isList(const Control& c) const;
    void notify(int id, platform::DialogNotification code, int key = 0, int from = -1, int to = -1);

    platform::Dialog& m_dialog;
    platform::NativeWindow& m_window;
    platform::DialogTemplate m_template;
    std::vector<Control> m_controls;
    bool m_initialised = false;
    bool m_ended = false;
    platform::DialogResult m_result = platform::DialogResult::Cancel;
};

}  // namespace platform::headless
