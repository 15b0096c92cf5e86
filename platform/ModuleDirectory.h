#pragma once

#include <string>

namespace platform {

// Where the running executable lies, which is where the editor keeps its settings file and looks
// for image plug-ins.
class ModuleDirectory {
public:
    // The folder of /proc/self/exe with a trailing '/', or empty when it cannot be read.
    static std::string ofExecutable();
};

}  // namespace platform
