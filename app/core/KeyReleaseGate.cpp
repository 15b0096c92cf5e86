#include "app/core/KeyReleaseGate.h"

#include "platform/Host.h"
#include "platform/Message.h"

bool KeyReleaseGate::admits(const platform::Message& message, const platform::Host& host) {
    switch (message.message) {
        case platform::WM_KEYDOWN:
            m_current = host.heldModifiers();
            m_pressed[message.key] = m_current;
            return true;
        case platform::WM_KEYUP: {
            const auto pressed = m_pressed.find(message.key);
            if (pressed == m_pressed.end()) {
                return false;
            }
            m_current = pressed->second;
            m_pressed.erase(pressed);
            return true;
        }
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
