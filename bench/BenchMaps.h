#pragma once

#include <cstdint>
#include <string>

#include "map/MapGrid.h"

namespace bench {

// columns × rows cells of random chips (0 … chips − 1) and attributes (0 … kinds − 1), the same
// for the same arguments.
MapGrid randomMap(int columns, int rows, std::int32_t chips = 256, std::int32_t kinds = 100);

// A folder of this run's own under /tmp, made on first use; name tells whose.
std::string scratchFolder(const char* name);

}  // namespace bench
