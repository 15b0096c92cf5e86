#include "preview/MillisecondClock.h"

#include <chrono>

std::uint64_t MillisecondClock::NowMicroseconds() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

const MillisecondClock& MillisecondClock::system() {
    static const MillisecondClock clock;
    return clock;
}
