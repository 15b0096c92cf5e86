#include "fuzz/FuzzImage.h"
#include "gfx/CNxMAKILoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNxMAKILoader loader;
    loadAndCheck(loader, data, size);
    return 0;
}
