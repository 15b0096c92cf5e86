#include "platform/ScrollInfo.h"

#include <algorithm>

namespace platform {

ScrollInfo ScrollInfo::normalised() const {
    ScrollInfo s = *this;
    s.maximum = std::max(s.minimum, s.maximum);
    // In 64 bits: the span of a full int range does not fit in an int.
    const long long span = static_cast<long long>(s.maximum) - s.minimum + 1;
    s.page = static_cast<int>(std::clamp<long long>(s.page, 0, std::min<long long>(span, 1 << 30)));
    s.position = std::clamp(s.position, s.minimum, s.lastPosition());
    return s;
}

int ScrollInfo::lastPosition() const {
    return std::max(minimum, maximum - std::max(page - 1, 0));
}

bool operator==(const ScrollInfo& a, const ScrollInfo& b) {
    return a.minimum == b.minimum && a.maximum == b.maximum && a.page == b.page &&
           a.position == b.position;
}

}  // namespace platform
