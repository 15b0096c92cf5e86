#include "fuzz/FuzzImage.h"
#include "gfx/CNxImageLoaderManager.h"

// The manager as the editor uses it, without plug-ins: choose a decoder from the first bytes,
// decode, and choose again for the same file with that decoder current.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CNxImageLoaderManager manager("");
    CNxFile file;
    if (!file.OpenMemory(data, size, "fuzz")) {
        return 0;
    }
    if (auto image = manager.Load(file).value) {
        checkImage(*image);
    }
    file.Seek(0, CNxFile::seekBegin);
    CNxImageLoader* decoder = manager.FindDecoder(file);
    if (file.Seek(0, CNxFile::seekCurrent) != 0) {
        std::abort();
    }
    if (decoder != nullptr) {
        if (auto image = decoder->Load(file)) {
            checkImage(*image);
        }
    }
    return 0;
}
