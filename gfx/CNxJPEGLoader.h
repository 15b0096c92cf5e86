#pragma once

#include "gfx/CNxImageLoader.h"

// JPEG through libjpeg with the floating-point inverse DCT. Colour pictures become 24-bit DIBs
// (B, G, R), grey ones 8-bit DIBs with a 256-step grey table. A file cut short decodes as far as
// it goes; the library's messages are never shown.
class CNxJPEGLoader : public CNxImageLoader {
public:
    bool IsSupported(const std::uint8_t* head, std::size_t headSize) override;
    std::unique_ptr<CNxDIBImage> Load(CNxFile& file) override;
};
