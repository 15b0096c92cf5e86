#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/MessagePort.h"

namespace platform {

// One thing the user is to be told, as a message box would tell it.
struct Notice {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
};

// What a reader, a decoder or a saver came to. value is what it made or which way it went
// (callers branch on it; a failure leaves the type's nothing: false, null, None); notices say
// why it failed, or what the user should be warned of, in the order they arose. Readers only
// report: the shell and the dialogs show the notices (show below), the command-line tool prints
// them.
template <class T>
struct Outcome {
    T value{};
    std::vector<Notice> notices;

    // A failure with one notice.
    static Outcome failure(std::string text, std::string title,
                           MessageIcon icon = MessageIcon::None) {
        Outcome outcome;
        outcome.notices.push_back(Notice{std::move(text), std::move(title), icon});
        return outcome;
    }
    // A failure whose one notice is the reason alone, for a caller that words the message
    // itself (naming the file, say).
    static Outcome because(std::string why) { return failure(std::move(why), std::string()); }

    // Steps in turn: this outcome when it failed, else what next() comes to.
    template <class Next>
    Outcome then(Next&& next) const {
        return value ? std::forward<Next>(next)() : *this;
    }

    // The notices' texts, a line each: the reason, for a caller that words the message itself.
    std::string why() const {
        std::string lines;
        for (const Notice& notice : notices) {
            lines += (lines.empty() ? "" : "\n") + notice.text;
        }
        return lines;
    }
};

// What a step came to that reports failure as false with a reason: step(why) gives the bool and
// fills in why.
template <class Step>
Outcome<bool> outcomeOf(Step&& step) {
    std::string why;
    const bool done = step(why);
    return done ? Outcome<bool>{true, {}} : Outcome<bool>::because(std::move(why));
}

// Shows each notice in a box of its own with an OK button, owned by owner, in order.
void show(MessagePort& port, NativeWindow* owner, const std::vector<Notice>& notices);

}  // namespace platform
