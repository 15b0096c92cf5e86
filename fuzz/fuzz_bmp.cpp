#include "fuzz/FuzzImage.h"
#include "gfx/CNxBMPLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNxBMPLoader loader;
    loadAndCheck(loader, data, size);
    return 0;
}
