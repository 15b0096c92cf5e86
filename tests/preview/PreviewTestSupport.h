#pragma once

#include <memory>
#include <string>

#include "gfx/CNxSurface.h"
#include "platform/MillisecondClock.h"
#include "preview/PlayerFrame.h"

namespace preview_testing {

// A clock that moves only when told.
class FakeClock : public platform::MillisecondClock {
public:
    std::uint64_t NowMicroseconds() const override { return now; }
    void advance(std::uint32_t ms) { now += std::uint64_t{ms} * 1000; }
    std::uint64_t now = 5'000'000;
};

// A frame of a width × height picture filled with colour (0xAARRGGBB), shown for ms.
inline PlayerFrame frame(const std::string& name, std::uint32_t ms,
                         std::uint32_t colour = 0xFFFF0000, int width = 2, int height = 2) {
    PlayerFrame f;
    f.image = std::make_shared<CNxSurface>(32);
    f.image->Create(width, -height);
    f.image->Fill(nullptr, colour);
    f.setDefaults(width, height);
    f.displayTime = ms;
    f.path = f.displayName = name;
    return f;
}

}  // namespace preview_testing
