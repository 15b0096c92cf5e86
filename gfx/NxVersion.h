#pragma once

namespace nx {

// Version of the drawing library, for the tool's --help and bug reports.
const char* libraryVersion();

}  // namespace nx
