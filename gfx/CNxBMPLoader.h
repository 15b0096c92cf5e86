#pragma once

#include "gfx/CNxImageLoader.h"

// Windows bitmaps, with or without the 14-byte file header: 1, 4, 8, 16, 24 and 32 bits, bit-field
// masks, RLE8 and RLE4 (expanded), and info headers of 40, 52, 56, 108 and 124 bytes. 32-bit
// pixels come out as B, G, R, A bytes whatever their masks; a 32-bit bitmap without an alpha
// mask whose fourth bytes are all 0 comes out opaque.
class CNxBMPLoader : public CNxImageLoader {
public:
    bool IsSupported(const std::uint8_t* head, std::size_t headSize) override;
    std::unique_ptr<CNxDIBImage> Load(CNxFile& file) override;
};
