// A plug-in that would take any file but reports a version other than "00IN", so the host must
// never ask it.
#include <cstdlib>
#include <cstring>

#include "gfx/NxImagePlugin.h"

NX_PLUGIN_EXPORT int GetPluginInfo(int, char* buffer, int bufferLength) {
    if (bufferLength < 5) {
        return 0;
    }
    std::memcpy(buffer, "00AM", 5);
    return 4;
}

NX_PLUGIN_EXPORT int IsSupported(const char*, const void*) {
    return 1;
}

NX_PLUGIN_EXPORT int GetPicture(const char*, long, unsigned int, void** info, void** bits,
                                NxPluginProgressCallback, long) {
    auto* header =
        static_cast<NxPluginBitmapInfoHeader*>(std::calloc(1, sizeof(NxPluginBitmapInfoHeader)));
    header->biSize = 40;
    header->biWidth = 1;
    header->biHeight = 1;
    header->biPlanes = 1;
    header->biBitCount = 24;
    *info = header;
    *bits = std::calloc(1, 4);
    return 0;
}
