#pragma once

#include <vector>

#include "gfx/CNxImageLoader.h"
#include "platform/Outcome.h"

// PNG through libpng. Paletted and grey pictures without transparency stay paletted (1, 4 or
// 8 bits; 2-bit ones become 8), colour ones become 24 bits, anything with alpha or a tRNS chunk
// 32 bits; 16-bit samples are cut to 8. libpng's errors and warnings become notices
// "libpng error" and "libpng warning" naming the file; an error fails the load.
class CNxPNGLoader : public CNxImageLoader {
public:
    // notices, when given, must outlive the loader; each load adds its notices to them.
    explicit CNxPNGLoader(std::vector<platform::Notice>* notices = nullptr) : m_notices(notices) {}

    bool IsSupported(const std::uint8_t* head, std::size_t headSize) override;
    std::unique_ptr<CNxDIBImage> Load(CNxFile& file) override;

private:
    std::vector<platform::Notice>* m_notices;
};
