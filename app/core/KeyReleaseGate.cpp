#include "app/core/KeyReleaseGate.h"

#include "platform/Message.h"

bool KeyReleaseGate::admits(const platform::Message& message) {
    switch (message.message) {
        case platform::WM_KEYDOWN:
            m_pressed.insert(message.key);
            return true;
        case platform::WM_KEYUP:
            return m_pressed.erase(message.key) != 0;
        case platform::WM_ACTIVATE:
        case platform::WM_ACTIVATEAPP:
            // Keys pressed before are released elsewhere, or their release belongs to what
            // took the focus.
            m_pressed.clear();
            return true;
        default:
            return true;
    }
}
