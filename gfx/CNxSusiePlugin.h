#pragma once

#include "gfx/CNxImageLoader.h"
#include "gfx/NxImagePlugin.h"

namespace platform {
class SharedLibrary;
}

// A decoder backed by an image plug-in (see NxImagePlugin.h). Only a plug-in that reports the
// version "00IN" is used; one without IsSupported refuses every file, one without GetPicture
// fails every load.
class CNxSusiePlugin : public CNxImageLoader {
public:
    // module must stay loaded while this object exists.
    explicit CNxSusiePlugin(const platform::SharedLibrary& module);

    bool IsSupported(const std::uint8_t* head, std::size_t headSize) override;
    std::unique_ptr<CNxDIBImage> Load(CNxFile& file) override;

private:
    NxIsSupportedFn m_isSupported = nullptr;
    NxGetPictureFn m_getPicture = nullptr;
};
