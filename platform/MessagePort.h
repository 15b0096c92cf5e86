#pragma once

#include <string>

namespace platform {

class NativeWindow;

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The one thing the editor's file and data code needs of the user interface: a modal message box.
// The window system's host implements it; the command-line tool prints to stderr; tests record.
class MessagePort {
public:
    virtual ~MessagePort() = default;

    // Shows text under title, owned by owner (null: no owner), and returns the button pressed.
    virtual MessageAnswer messageBox(NativeWindow* owner, const std::string& text,
                                     const std::string& title, MessageButtons buttons,
                                     MessageIcon icon) = 0;

    // The common case: an error with an OK button.
    void showError(NativeWindow* owner, const std::string& text, const std::string& title) {
        messageBox(owner, text, title, MessageButtons::Ok, MessageIcon::None);
    }
};

}  // namespace platform
