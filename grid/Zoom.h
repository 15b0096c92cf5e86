#pragma once

#include <cstdint>
#include <string>

// How many screen pixels a map (or chip image) pixel takes in a grid window: one of the steps
// 1/32, 1/16, 1/8, 1/4, 1/2, 1, 2, 3, 4, 6, 8. Steps from 1 up are whole blocks of pixels;
// below 1 a screen pixel shows the area average of den × den image pixels.
struct Zoom {
    static constexpr int kSteps = 11;
    static constexpr int kOneStep = 5;  // the step index of 1:1

    int num = 1;  // either num or den is 1
    int den = 1;

    // The step of index 0 … kSteps − 1 (clamped).
    static Zoom step(int index);
    // The step index of this zoom; −1 when it is none.
    int stepIndex() const;
    // The next step up or down, or this one at the end.
    Zoom in() const;
    Zoom out() const;

    bool isOne() const { return num == den; }
    bool reduces() const { return den > 1; }
    // Screen pixels of a run of image pixels, and image pixels under a run of screen pixels,
    // rounded down.
    std::int64_t toScreen(std::int64_t image) const { return image * num / den; }
    std::int64_t toImage(std::int64_t screen) const { return screen * den / num; }

    // "200%", "50%", "12.5%", "3.125%".
    std::string percentText() const;
    // As the settings file keeps it: "2", "1/8". read gives 1:1 for anything that is no step.
    std::string text() const;
    static Zoom read(const std::string& text);

    bool operator==(const Zoom& other) const { return num == other.num && den == other.den; }
    bool operator!=(const Zoom& other) const { return !(*this == other); }
};
