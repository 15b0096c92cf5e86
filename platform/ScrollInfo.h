#pragma once

namespace platform {

enum class ScrollAxis { Horizontal, Vertical };

// A scroll bar's state as Win32's SetScrollInfo keeps it: positions minimum to maximum, a page
// of page positions. The thumb can reach maximum − page + 1 at most (maximum when page ≤ 1).
struct ScrollInfo {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;

    // The state a window stores when given this one, by Win32's rules: maximum at least
    // minimum, page within 0 … maximum − minimum + 1, position within minimum … the last
    // position the thumb can reach.
    ScrollInfo normalised() const;
    int lastPosition() const;
};

bool operator==(const ScrollInfo& a, const ScrollInfo& b);
inline bool operator!=(const ScrollInfo& a, const ScrollInfo& b) {
    return !(a == b);
}

}  // namespace platform
