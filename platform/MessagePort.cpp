#include "platform/MessagePort.h"
#include "platform/Outcome.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

std::string Language::formatText(const char* source, ...) const {
    const std::string pattern = text(source);
    va_list arguments;
    va_start(arguments, source);
    va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, pattern.c_str(), arguments);
    va_end(arguments);
    std::string filled;
    if (length > 0) {
        filled.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(filled.data(), filled.size(), pattern.c_str(), again);
        filled.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return filled;
}

void show(MessagePort& port, NativeWindow* owner, const std::vector<Notice>& notices) {
    for (const Notice& notice : notices) {
        port.messageBox(owner, notice.text, notice.title, MessageButtons::Ok, notice.icon);
    }
}

}  // namespace platform
