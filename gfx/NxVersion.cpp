#include "gfx/NxVersion.h"

namespace nx {

const char* libraryVersion() {
    return "0.1";
}

}  // namespace nx
