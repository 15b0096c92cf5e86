#include "platform/DialogControls.h"

#include <climits>

#include "platform/TextEncoding.h"

namespace platform {

SpinPosition DialogControls::spinPosition(const std::string& text, int minimum, int maximum) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    const bool negative = i < end && text[i] == '-';
    if (negative || (i < end && text[i] == '+')) {
        ++i;
    }
    const SpinPosition none{minimum > INT_MIN ? minimum - 1 : (maximum < INT_MAX ? maximum + 1 : 0),
                            false};
    if (i == end) {
        return none;
    }
    long long value = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return none;
        }
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            // Far beyond any range: report it as just past the nearer end.
            return SpinPosition{negative ? (minimum > INT_MIN ? minimum - 1 : INT_MIN)
                                         : (maximum < INT_MAX ? maximum + 1 : INT_MAX),
                                false};
        }
    }
    if (negative) {
        value = -value;
    }
    if (value < INT_MIN || value > INT_MAX) {
        return SpinPosition{value < 0 ? INT_MIN : INT_MAX, false};
    }
    const int v = static_cast<int>(value);
    return SpinPosition{v, v >= minimum && v <= maximum};
}

bool DialogControls::takesText(int maxBytes, const std::string& text) {
    if (maxBytes <= 0) {
        return true;
    }
    const Cp932Text stored = utf8ToCp932(text);
    return !stored.lossy && stored.bytes.size() <= static_cast<std::size_t>(maxBytes);
}

}  // namespace platform
