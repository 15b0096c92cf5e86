// An image plug-in for a tiny format of the tests' own: "PLRNPIX1", width and height (16 bits
// each), a mode byte, then R, G, B bytes row by row from the top. Mode 0 decodes; the others
// misbehave the ways a host must survive: 1 returns an invalid header, 2 a pixel block smaller
// than the header says, 3 reports failure, 4 claims an 8-bit picture whose header block holds
// no colour table.
#include <cstdlib>
#include <cstring>

#include "gfx/NxImagePlugin.h"

namespace {

const char kMagic[8] = {'P', 'L', 'R', 'N', 'P', 'I', 'X', '1'};

}  // namespace

NX_PLUGIN_EXPORT int GetPluginInfo(int infoNumber, char* buffer, int bufferLength) {
    if (infoNumber != 0 || bufferLength < 5) {
        return 0;
    }
    std::memcpy(buffer, NX_PLUGIN_API_VERSION, 5);
    return 4;
}

NX_PLUGIN_EXPORT int IsSupported(const char*, const void* head) {
    return std::memcmp(head, kMagic, sizeof kMagic) == 0;
}

NX_PLUGIN_EXPORT int GetPicture(const char* data, long length, unsigned int flags, void** info,
                                void** bits, NxPluginProgressCallback, long) {
    if (flags != NX_PLUGIN_INPUT_MEMORY || length < 13) {
        return 1;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const int width = p[8] | p[9] << 8;
    const int height = p[10] | p[11] << 8;
    const int mode = p[12];
    const long stride = (3L * width + 3) / 4 * 4;
    if (mode == 3 || length < 13 + 3L * width * height) {
        return 2;
    }
    auto* header =
        static_cast<NxPluginBitmapInfoHeader*>(std::calloc(1, sizeof(NxPluginBitmapInfoHeader)));
    auto* pixels = static_cast<unsigned char*>(
        std::calloc(1, mode == 2 ? static_cast<std::size_t>(stride) : stride * height));
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = -height;  // top row first
    header->biPlanes = 1;
    header->biBitCount = mode == 1 ? 7 : mode == 4 ? 8 : 24;
    if (mode == 0) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned char* rgb = p + 13 + 3 * (y * width + x);
                unsigned char* bgr = pixels + y * stride + 3 * x;
                bgr[0] = rgb[2];
                bgr[1] = rgb[1];
                bgr[2] = rgb[0];
            }
        }
    }
    *info = header;
    *bits = pixels;
    return 0;
}
