#pragma once

#include <set>

namespace platform {
struct Message;
}

// Decides which of a window's messages reach its screen: a key release acts only in a window
// that received the same key's press since it last gained or lost the focus. So the release
// of a key that chose a menu command, closed a message box or moved the focus to this window
// does nothing here, while every key pressed here still acts, however its command was chosen
// before.
class KeyReleaseGate {
public:
    // Whether message goes on to the window's handler; notes presses and focus changes.
    bool admits(const platform::Message& message);

private:
    std::set<int> m_pressed;
};
