#pragma once

#include "gfx/CNxImageLoader.h"

// MAG pictures ("MAKI02  "), 16 or 256 colours, decoded into 4- or 8-bit DIBs with the file's
// palette. Every header offset, flag, pixel byte and copy vector is checked against the file and
// the picture; a file that points outside them is refused.
class CNxMAKILoader : public CNxImageLoader {
public:
    bool IsSupported(const std::uint8_t* head, std::size_t headSize) override;
    std::unique_ptr<CNxDIBImage> Load(CNxFile& file) override;
};
