#pragma once

#include <map>

#include "platform/VirtualKey.h"

namespace platform {
class Host;
struct Message;
}  // namespace platform

// Decides which of a window's messages reach its screen: a key release acts only in a window
// that received the same key's press since it last gained or lost the focus. So the release
// of a key that chose a menu command, closed a message box or moved the focus to this window
// does nothing here, while every key pressed here still acts, however its command was chosen
// before.
//
// It also keeps the modifiers held at each press, for the release: Ctrl+Z typed quickly (or
// sent by xdotool) lets go of Ctrl before Z, and the undo must not be lost.
class KeyReleaseGate {
public:
    // Whether message goes on to the window's handler; notes presses (with the modifiers host
    // holds then) and focus changes.
    bool admits(const platform::Message& message, const platform::Host& host);
    // For the key message just admitted: the modifiers held at its key's press.
    platform::KeyModifiers modifiersAtPress() const { return m_current; }

private:
    std::map<int, platform::KeyModifiers> m_pressed;
    platform::KeyModifiers m_current;
};
