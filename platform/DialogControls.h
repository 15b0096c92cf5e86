#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"

namespace platform {

class NativeWindow;

enum class DialogResult { Ok, Cancel };

// An up-down's position as read from its edit field. Text the control cannot take (not a
// number, or a number outside the range) makes valid false; value is then the number typed,
// or a value just outside the range when the text holds no number at all.
struct SpinPosition {
    int value = 0;
    bool valid = false;
};

// The controls of a running dialog (or of one page of a sheet), addressed by control id, as the
// dialog procedures of Win32 address theirs. Valid from Dialog::onInit until the dialog ends.
// Calls on an id the dialog does not have do nothing and read as empty.
class DialogControls {
public:
    virtual ~DialogControls() = default;

    // The dialog's own window: owner of the message boxes, choosers and dialogs it opens, its
    // title, its position, and its timers (WM_TIMER arrives at Dialog::onTimer).
    virtual NativeWindow& window() = 0;

    // Labels, buttons, check boxes, edits, group boxes.
    virtual void setText(int id, const std::string& text) = 0;
    virtual std::string text(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    virtual bool isEnabled(int id) const = 0;
    virtual void setShown(int id, bool shown) = 0;

    // Up-downs (either id of a SpinEdit). Setting the position writes it into the edit as a
    // decimal number, which notifies Changed; the range does not touch the text.
    virtual void setRange(int id, int minimum, int maximum) = 0;
    virtual void setPosition(int id, int position) = 0;
    virtual SpinPosition position(int id) const = 0;

    // Swatches: the colour shown, 0xAARRGGBB (alpha ignored).
    virtual void setColour(int id, std::uint32_t colour) = 0;

    // Combo boxes, list boxes and list views. A list view item has one text per column;
    // the others take the first. An index of -1 or past the end appends.
    virtual void insertItem(int id, int index, const std::vector<std::string>& cells) = 0;
    virtual void deleteItem(int id, int index) = 0;
    virtual void clearItems(int id) = 0;
    virtual int itemCount(int id) const = 0;
    virtual std::string itemText(int id, int index, int column = 0) const = 0;
    // The selected index, -1 when none; selecting from code notifies nothing.
    virtual int selection(int id) const = 0;
    virtual void select(int id, int index) = 0;

    // Ends the dialog once the current call returns; Host::runDialog returns result.
    virtual void end(DialogResult result) = 0;

    void addItem(int id, const std::string& text) { insertItem(id, -1, {text}); }

    // The position an up-down's edit text stands for within minimum … maximum.
    static SpinPosition spinPosition(const std::string& text, int minimum, int maximum);
    // Whether an edit whose text is stored in maxBytes code page 932 bytes (0: no limit) may
    // hold text (UTF-8) as the user types it.
    static bool takesText(int maxBytes, const std::string& text);
};

}  // namespace platform
