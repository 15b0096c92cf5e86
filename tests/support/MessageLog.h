#pragma once

#include <functional>
#include <ostream>
#include <vector>

#include "platform/Message.h"
#include "platform/MessageHandler.h"

namespace testing_support {

// A message handler that keeps every message with the window it came from, and can act on
// each (as a router would) through onMessage.
class MessageLog : public platform::MessageHandler {
public:
    struct Entry {
        platform::NativeWindow* window;
        platform::Message message;
    };

    void handleMessage(platform::NativeWindow& window, const platform::Message& message) override {
        entries.push_back({&window, message});
        if (onMessage) {
            onMessage(window, message);
        }
    }

    // The messages with the given id, in order.
    std::vector<platform::Message> of(platform::MessageId id) const {
        std::vector<platform::Message> found;
        for (const Entry& e : entries) {
            if (e.message.message == id) {
                found.push_back(e.message);
            }
        }
        return found;
    }

    // All messages, in order.
    std::vector<platform::Message> messages() const {
        std::vector<platform::Message> all;
        for (const Entry& e : entries) {
            all.push_back(e.message);
        }
        return all;
    }

    std::vector<Entry> entries;
    std::function<void(platform::NativeWindow&, const platform::Message&)> onMessage;
};

}  // namespace testing_support

namespace platform {

// Lets GoogleTest print messages readably.
inline void PrintTo(const Message& message, std::ostream* out) {
    *out << describe(message);
}

}  // namespace platform
