#include "platform/ModuleDirectory.h"

#include <unistd.h>

#include <vector>

namespace platform {

std::string ModuleDirectory::ofExecutable() {
    // readlink does not say whether it truncated, so grow until the answer leaves room.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return std::string();
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(n));
            const std::size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        if (buffer.size() >= 65536) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace platform
