#pragma once

#include <cstdlib>
#include <string>

#include "gfx/CNxDIBImage.h"
#include "gfx/CNxDIBImageConverter.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxImageLoader.h"

// What every image harness checks of a decoded picture: its header is one the library accepts,
// and every pixel can be read, by converting it to 32 bits as a surface does (small pictures
// only, so that a run stays fast).
inline void checkImage(const CNxDIBImage& image) {
    if (image.IsEmpty() || CNxDIBImage::ColourCountOf(image.GetInfo()->bmiHeader) < 0) {
        std::abort();
    }
    if (static_cast<std::int64_t>(image.GetWidth()) * image.GetHeight() > (1 << 22)) {
        return;
    }
    CNxDIBImage surface;
    if (!surface.Create(image.GetWidth(), image.GetInfo()->bmiHeader.biHeight, 32) ||
        !CNxDIBImageConverter::Convert(surface, 0, 0, image, nullptr)) {
        std::abort();
    }
}

// Decodes the bytes with loader from their start; a decoder may refuse, never crash.
inline void loadAndCheck(CNxImageLoader& loader, const std::uint8_t* data, std::size_t size) {
    CNxFile file;
    if (!file.OpenMemory(data, size, "fuzz")) {
        return;
    }
    if (auto image = loader.Load(file)) {
        checkImage(*image);
    }
}
