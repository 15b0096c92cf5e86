#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CNxDIBImage;

// Encodes a 32-bit picture (B, G, R, A bytes, as surfaces hold them) as an 8-bit RGBA PNG.
class PngWriter {
public:
    // False with error set when the picture is not 32 bits or libpng fails.
    static bool encode(const CNxDIBImage& image, std::vector<std::uint8_t>& out,
                       std::string& error);
};
