#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

// The kinds of control a dialog is made of, after the Win32 controls the editor's dialogs use.
enum class ControlKind {
    Label,     // static text
    GroupBox,  // a frame with a caption around other controls
    Button,    // push button: Clicked
    CheckBox,  // toggles itself, then Clicked
    Edit,      // one line of text: Changed on every change of its text, also by setText
    SpinEdit,  // an edit with an up-down as its buddy; both ids address it
    ComboBox,  // a drop-down list: SelectionChanged when the user picks an entry
    ListBox,   // SelectionChanged, DoubleClicked, KeyUp and, when draggable, ItemDragged
    ListView,  // a report-style list with columns, rows selected whole
    Swatch,    // a rectangle filled with a colour (setColour)
};

struct ListColumn {
    std::string header;
    int width = 0;  // pixels
};

struct ControlSpec {
    int id = 0;  // 0 for controls nobody addresses (labels, group boxes)
    ControlKind kind = ControlKind::Label;
    std::string text;
    Rect rect;                        // pixels in the dialog's client area
    int buddyId = 0;                  // SpinEdit: the up-down's id
    std::vector<ListColumn> columns;  // ListView
    bool draggable = false;           // ListBox: the user may drag an item to another place
    bool isDefault = false;           // Button: Enter presses it
    bool alignRight = false;          // Label: its text lies against the field it names
    // Edit: the most bytes its text may take in code page 932, the encoding the text is stored
    // in; the user can type no more, nor any character that code page has not (0: no limit).
    int maxBytes = 0;

    static ControlSpec make(ControlKind kind, int id, std::string text, Rect rect) {
        ControlSpec c;
        c.kind = kind;
        c.id = id;
        c.text = std::move(text);
        c.rect = rect;
        return c;
    }
    static ControlSpec spinEdit(int editId, int upDownId, Rect rect) {
        ControlSpec c = make(ControlKind::SpinEdit, editId, {}, rect);
        c.buddyId = upDownId;
        return c;
    }
};

// A dialog's layout: caption, client size and controls, as a dialog resource holds them.
struct DialogTemplate {
    std::string title;
    Size size;
    std::vector<ControlSpec> controls;
};

}  // namespace platform
