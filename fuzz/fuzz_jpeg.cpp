#include "fuzz/FuzzImage.h"
#include "gfx/CNxJPEGLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNxJPEGLoader loader;
    loadAndCheck(loader, data, size);
    return 0;
}
