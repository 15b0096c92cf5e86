#pragma once

#include "platform/DialogControls.h"
#include "platform/DialogTemplate.h"

namespace platform {

enum class DialogNotification {
    Clicked,           // button or check box (after the box toggled itself)
    Changed,           // the text of an edit or spin edit changed
    SelectionChanged,  // the user picked another entry of a combo box, list box or list view
    DoubleClicked,     // on a list box or list view item
    KeyUp,             // a key was released in a list box or list view: key
    ItemDragged,       // a list box item was dropped onto another: from, to (-1: no item there)
};

struct DialogCommand {
    int control = 0;
    DialogNotification code = DialogNotification::Clicked;
    int key = 0;
    int from = -1;
    int to = -1;
};

// A modal dialog, or one page of a sheet, as the editor's dialog objects implement it: the host
// builds the controls from dialogTemplate(), calls onInit, then forwards what the user does.
// Closing by the title bar or Escape arrives as Clicked on id 2 (Cancel) and Enter presses the
// default button, as in Win32; the dialog itself decides when to end().
class Dialog {
public:
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;

    virtual ~Dialog() = default;

    virtual DialogTemplate dialogTemplate() const = 0;
    virtual void onInit(DialogControls& controls) = 0;
    virtual void onCommand(DialogControls& controls, const DialogCommand& command) = 0;
    virtual void onTimer(DialogControls& controls, int timerId) {}
    // A sheet's OK button, for every page that was shown at least once, in page order;
    // false keeps the sheet open. Single dialogs never get it.
    virtual bool onApply(DialogControls& controls) { return true; }
};

}  // namespace platform
