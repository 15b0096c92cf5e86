#include "gfx/CNxSusiePlugin.h"

#include <cstring>

#include "gfx/CNxFile.h"
#include "gfx/CNxSusieDIBImage.h"
#include "platform/SharedLibrary.h"

static_assert(sizeof(NxPluginBitmapInfoHeader) == sizeof(BITMAPINFOHEADER),
              "plug-ins hand over the bitmap header as it is laid out in files");

CNxSusiePlugin::CNxSusiePlugin(const platform::SharedLibrary& module) {
    const auto info = reinterpret_cast<NxGetPluginInfoFn>(module.symbol("GetPluginInfo"));
    if (info == nullptr) {
        return;
    }
    char version[8] = {};  // the plug-in may fill 5 bytes; the rest stays a terminator
    if (info(0, version, 5) == 0 || std::strcmp(version, NX_PLUGIN_API_VERSION) != 0) {
        return;
    }
    m_isSupported = reinterpret_cast<NxIsSupportedFn>(module.symbol("IsSupported"));
    m_getPicture = reinterpret_cast<NxGetPictureFn>(module.symbol("GetPicture"));
}

bool CNxSusiePlugin::IsSupported(const std::uint8_t* head, std::size_t headSize) {
    if (m_isSupported == nullptr) {
        return false;
    }
    // Plug-ins may read all 2048 bytes of the head.
    if (headSize < kHeadBytes) {
        std::uint8_t padded[kHeadBytes] = {};
        std::memcpy(padded, head, headSize);
        return m_isSupported(nullptr, padded) != 0;
    }
    return m_isSupported(nullptr, head) != 0;
}

std::unique_ptr<CNxDIBImage> CNxSusiePlugin::Load(CNxFile& file) {
    if (m_getPicture == nullptr || m_isSupported == nullptr) {
        return nullptr;
    }
    const std::int64_t size = file.Size();
    // A compressed file above 1 GiB would hold a picture larger than any accepted.
    if (size < 0 || size > static_cast<std::int64_t>(CNxDIBImage::kMaxImageBytes)) {
        return nullptr;
    }
    const std::size_t bytes = static_cast<std::size_t>(size);
    std::unique_ptr<char[]> data(new char[bytes < kHeadBytes ? kHeadBytes : bytes]());
    if (file.Read(data.get(), size) != size || m_isSupported(nullptr, data.get()) == 0) {
        return nullptr;
    }
    void* info = nullptr;
    void* bits = nullptr;
    if (m_getPicture(data.get(), static_cast<long>(size), NX_PLUGIN_INPUT_MEMORY, &info, &bits,
                     nullptr, 0) != 0) {
        return nullptr;
    }
    auto image = std::make_unique<CNxSusieDIBImage>(info, bits);
    if (!image->AttachBlocks()) {
        return nullptr;
    }
    return image;
}
