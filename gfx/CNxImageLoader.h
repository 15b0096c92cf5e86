#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "gfx/CNxDIBImage.h"

class CNxFile;

// A decoder of one image format. The manager asks each in turn whether it knows a file's first
// bytes, then lets the one that does read the file from the current position.
class CNxImageLoader {
public:
    // How many bytes of a file's start a decoder is shown.
    static constexpr std::size_t kHeadBytes = 2048;

    virtual ~CNxImageLoader() = default;
    // Whether head (headSize bytes of the file's start) looks like this decoder's format.
    virtual bool IsSupported(const std::uint8_t* head, std::size_t headSize) = 0;
    // Decodes the file from its current position; null when it cannot.
    virtual std::unique_ptr<CNxDIBImage> Load(CNxFile& file) = 0;
};
