#pragma once

#include <memory>
#include <string>

#include <vector>

#include "gfx/CNxImageLoader.h"
#include "platform/Outcome.h"

class CNxFile;

namespace platform {
class SharedLibrary;
}

// Chooses a decoder from a file's first 2048 bytes, never from its name: the last decoder that
// accepted a file first, then JPEG, PNG, MAG and BMP, then the image plug-ins ("*.spi") of the
// plug-in folder. The accepted decoder and the last plug-in loaded are kept for the next file.
class CNxImageLoaderManager {
public:
    // pluginFolder ends in '/'; empty means no plug-ins are looked for.
    explicit CNxImageLoaderManager(std::string pluginFolder);
    ~CNxImageLoaderManager();
    CNxImageLoaderManager(const CNxImageLoaderManager&) = delete;
    CNxImageLoaderManager& operator=(const CNxImageLoaderManager&) = delete;

    // Decodes file from its current position with the decoder FindDecoder chooses; null when
    // none accepts the file or the one that does fails. The notices are the decoder's (libpng's
    // errors and warnings), for the caller to show.
    platform::Outcome<std::unique_ptr<CNxDIBImage>> Load(CNxFile& file);
    // The decoder that accepts the file, which becomes the current one; null when none does.
    // The file's position is left where it was.
    CNxImageLoader* FindDecoder(CNxFile& file);

    // Whether a plug-in module is loaded.
    bool IsPluginLoaded() const;

private:
    std::string m_pluginFolder;
    std::vector<platform::Notice> m_notices;  // the PNG decoder adds to it, so it never moves
    // The module outlives the decoder, which may be its wrapper.
    std::unique_ptr<platform::SharedLibrary> m_module;
    std::unique_ptr<CNxImageLoader> m_current;
};
