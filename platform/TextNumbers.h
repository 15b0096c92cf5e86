#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A decimal integer read from text as C's atoi reads it, which the text formats were written
// with: leading white space, an optional sign, digits up to the first other character, 0 when
// there are none. Values beyond 32 bits stop at the nearest limit instead of overflowing.
std::int32_t decimalValue(const std::string& text);

}  // namespace platform
