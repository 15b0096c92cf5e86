#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Outcome.h"

class CNxDIBImage;

// Encodes a 32-bit picture (B, G, R, A bytes, as surfaces hold them) as an 8-bit RGBA PNG.
class PngWriter {
public:
    // False, with one notice saying why, when the picture is not 32 bits or libpng fails.
    static platform::Outcome<bool> encode(const CNxDIBImage& image, std::vector<std::uint8_t>& out);
};
