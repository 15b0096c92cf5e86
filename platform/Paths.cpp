#include "platform/Paths.h"

namespace platform {

std::string forceExtension(const std::string& path, const std::string& ext) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    if (hasExtension && path.compare(dot, std::string::npos, ext) == 0) {
        return path;
    }
    return (hasExtension ? path.substr(0, dot) : path) + ext;
}

}  // namespace platform
