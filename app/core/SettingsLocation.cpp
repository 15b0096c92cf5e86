#include "app/core/SettingsLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/ModuleDirectory.h"

namespace {

const char kFileName[] = "Pelorin.ini";

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Whether a file at path can be written: the file itself when it is there, else its folder.
bool writable(const std::string& folder, const std::string& path) {
    if (exists(path)) {
        return ::access(path.c_str(), W_OK) == 0;
    }
    return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

SettingsLocation SettingsLocation::find(const std::string& moduleDirectory,
                                        const std::string& configHome, const std::string& home) {
    const std::string beside = moduleDirectory + kFileName;
    // An installed program (its data beside its bin folder) keeps the user's settings in the
    // user's folder even where it could write beside itself, as in ~/.local/bin.
    const bool installed = !moduleDirectory.empty() && exists(moduleDirectory + "../share/pelorin");
    if (!installed && writable(moduleDirectory.empty() ? "." : moduleDirectory, beside)) {
        return {beside, beside, {}};
    }
    std::string base = configHome;
    if (base.empty()) {
        base = (home.empty() ? std::string("/tmp") : home) + "/.config";
    }
    const std::string own = base + "/pelorin/" + kFileName;
    return {exists(own) ? own : beside, own, {}};
}

std::string SettingsLocation::sampleChipSheet(const std::string& moduleDirectory) {
    if (moduleDirectory.empty()) {
        return {};  // "../" would then start from the working folder
    }
    for (const char* relative : {"../share/pelorin/chips.png", "../../../res/chips.png"}) {
        char* resolved = ::realpath((moduleDirectory + relative).c_str(), nullptr);
        if (resolved != nullptr) {
            std::string path(resolved);
            std::free(resolved);
            struct stat st;
            if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                return path;
            }
        }
    }
    return {};
}

SettingsLocation SettingsLocation::forThisProcess() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string module = platform::ModuleDirectory::ofExecutable();
    SettingsLocation location = find(module, config ? config : "", home ? home : "");
    location.sampleChips = sampleChipSheet(module);
    return location;
}

bool SettingsLocation::prepareWrite() const {
    // mkdir -p of everything up to the last "/".
    const std::size_t last = writePath.rfind('/');
    if (last == std::string::npos || last == 0) {
        return true;
    }
    const std::string folder = writePath.substr(0, last);
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == '/') {
            const std::string part = folder.substr(0, at);
            if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return true;
}
