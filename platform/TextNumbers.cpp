#include "platform/TextNumbers.h"

#include <algorithm>
#include <limits>

namespace platform {

std::int32_t decimalValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kCap = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), kCap);
    }
    value = negative ? -value : std::min<std::int64_t>(value, kCap - 1);
    return static_cast<std::int32_t>(value);
}

}  // namespace platform
