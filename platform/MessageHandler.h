#pragma once

#include <string>
#include <vector>

#include "platform/Message.h"

namespace platform {

class NativeWindow;

// Receives the messages of the windows it is set on (the shell's router). Messages arrive on the
// user-interface thread, one at a time; a handler may call back into the window, and such calls
// may deliver further messages (WM_MOVE, WM_SIZE) before they return.
class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    virtual void handleMessage(NativeWindow& window, const Message& message) = 0;
    // Files dropped on the window (from a file manager), as absolute paths in the order given.
    virtual void handleDrop(NativeWindow& window, const std::vector<std::string>& paths) {}
};

}  // namespace platform
