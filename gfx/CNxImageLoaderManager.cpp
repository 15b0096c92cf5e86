#include "gfx/CNxImageLoaderManager.h"

#include <cstring>
#include <new>

#include "gfx/CNxBMPLoader.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxJPEGLoader.h"
#include "gfx/CNxMAKILoader.h"
#include "gfx/CNxPNGLoader.h"
#include "gfx/CNxSusiePlugin.h"
#include "platform/FileSearch.h"
#include "platform/SharedLibrary.h"

CNxImageLoaderManager::CNxImageLoaderManager(std::string pluginFolder)
    : m_pluginFolder(std::move(pluginFolder)) {}

CNxImageLoaderManager::~CNxImageLoaderManager() {
    m_current.reset();
    m_module.reset();
}

bool CNxImageLoaderManager::IsPluginLoaded() const {
    return m_module != nullptr && m_module->isOpen();
}

platform::Outcome<std::unique_ptr<CNxDIBImage>> CNxImageLoaderManager::Load(CNxFile& file) {
    platform::Outcome<std::unique_ptr<CNxDIBImage>> outcome;
    m_notices.clear();
    CNxImageLoader* decoder = FindDecoder(file);
    try {
        if (decoder != nullptr) {
            outcome.value = decoder->Load(file);
        }
    } catch (const std::bad_alloc&) {
        // A picture within the limits, but more than the memory there is: no image.
    }
    outcome.notices = std::move(m_notices);
    m_notices.clear();
    return outcome;
}

CNxImageLoader* CNxImageLoaderManager::FindDecoder(CNxFile& file) {
    std::uint8_t head[CNxImageLoader::kHeadBytes] = {};
    const std::int64_t position = file.Seek(0, CNxFile::seekCurrent);
    const std::int64_t got = file.Read(head, sizeof head);
    if (position < 0 || got < 0 || file.Seek(position, CNxFile::seekBegin) < 0) {
        return nullptr;
    }
    // Plug-ins are always shown all 2048 bytes, zero past the end of the file.
    const std::size_t headSize = sizeof head;

    if (m_current != nullptr) {
        if (m_current->IsSupported(head, headSize)) {
            return m_current.get();
        }
        m_current.reset();
    }

    std::unique_ptr<CNxImageLoader> builtIn[] = {
        std::make_unique<CNxJPEGLoader>(),
        std::make_unique<CNxPNGLoader>(&m_notices),
        std::make_unique<CNxMAKILoader>(),
        std::make_unique<CNxBMPLoader>(),
    };
    for (auto& decoder : builtIn) {
        if (decoder->IsSupported(head, headSize)) {
            m_current = std::move(decoder);
            return m_current.get();
        }
    }

    if (IsPluginLoaded()) {
        auto plugin = std::make_unique<CNxSusiePlugin>(*m_module);
        if (plugin->IsSupported(head, headSize)) {
            m_current = std::move(plugin);
            return m_current.get();
        }
    }

    platform::FileSearch search;
    if (m_pluginFolder.empty() || !search.open(m_pluginFolder, ".spi")) {
        return nullptr;
    }
    std::string name;
    while (search.next(name)) {
        if (m_module == nullptr) {
            m_module = std::make_unique<platform::SharedLibrary>();
        }
        m_module->close();
        if (!m_module->open(m_pluginFolder + name)) {
            continue;
        }
        auto plugin = std::make_unique<CNxSusiePlugin>(*m_module);
        if (plugin->IsSupported(head, headSize)) {
            m_current = std::move(plugin);
            return m_current.get();
        }
    }
    return nullptr;
}
