#include "grid/Zoom.h"

#include <algorithm>

namespace {

constexpr Zoom kStepList[Zoom::kSteps] = {{1, 32}, {1, 16}, {1, 8}, {1, 4}, {1, 2}, {1, 1},
                                          {2, 1},  {3, 1},  {4, 1}, {6, 1}, {8, 1}};

}  // namespace

Zoom Zoom::step(int index) {
    return kStepList[std::clamp(index, 0, kSteps - 1)];
}

int Zoom::stepIndex() const {
    for (int i = 0; i < kSteps; ++i) {
        if (kStepList[i] == *this) {
            return i;
        }
    }
    return -1;
}

Zoom Zoom::in() const {
    const int index = stepIndex();
    return step(index < 0 ? kOneStep : index + 1);
}

Zoom Zoom::out() const {
    const int index = stepIndex();
    return step(index < 0 ? kOneStep : index - 1);
}

std::string Zoom::percentText() const {
    if (den == 1) {
        return std::to_string(num * 100) + "%";
    }
    // 100 / den for a power of two: whole digits, then the decimals that do not vanish.
    std::string digits = std::to_string(100000 * num / den);  // thousandths of a percent
    while (digits.size() < 4) {
        digits.insert(0, "0");
    }
    std::string whole = digits.substr(0, digits.size() - 3),
                part = digits.substr(digits.size() - 3);
    while (!part.empty() && part.back() == '0') {
        part.pop_back();
    }
    return whole + (part.empty() ? "" : "." + part) + "%";
}

std::string Zoom::text() const {
    return den == 1 ? std::to_string(num) : std::to_string(num) + "/" + std::to_string(den);
}

Zoom Zoom::read(const std::string& text) {
    for (const Zoom& zoom : kStepList) {
        if (zoom.text() == text) {
            return zoom;
        }
    }
    return Zoom{};
}
