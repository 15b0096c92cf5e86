#pragma once

#include <string>

namespace platform {

class NativeWindow;

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The user's language: what readers need to word their messages, which they return rather than
// show (see Outcome). Without a translation texts stay the source texts.
class Language {
public:
    virtual ~Language() = default;

    // source (a text marked with PELORIN_TEXT) in the user's language; source itself when it
    // has no translation. Texts composed from a fixed part are composed after it is translated.
    virtual std::string text(const std::string& source) const { return source; }
    // A printf pattern marked with PELORIN_TEXT, translated, then filled in (strings as char*).
    std::string formatText(const char* source, ...) const __attribute__((format(printf, 2, 3)));
};

// The one thing the shell and the dialogs need of the user interface to tell the user
// something: a modal message box, and its texts in the user's language. The window system's
// host implements it; the command-line tool prints to stderr; tests record.
class MessagePort : public Language {
public:
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
