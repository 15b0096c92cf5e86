#include "fuzz/FuzzImage.h"
#include "gfx/CNxPNGLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNxPNGLoader loader;
    loadAndCheck(loader, data, size);
    return 0;
}
