#pragma once

#include <string>

namespace platform {

// The path with its extension made exactly ext (say ".map"): the extension is what follows the
// last "." of the file name; one that differs in any way, case included, is replaced, and a name
// without one gets ext appended. Folder names are never touched.
std::string forceExtension(const std::string& path, const std::string& ext);

}  // namespace platform
