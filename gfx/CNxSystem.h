#pragma once

#include <memory>
#include <string>

class CNxImageLoaderManager;

// The drawing library's one shared object: the executable's folder and the image loader
// manager. It knows nothing of windows: what the decoders have to say comes back with what they
// decode. Made on first use, destroyed at exit.
class CNxSystem {
public:
    static CNxSystem& Get();

    ~CNxSystem();
    CNxSystem(const CNxSystem&) = delete;
    CNxSystem& operator=(const CNxSystem&) = delete;

    // Decodes image files; its plug-ins are looked for in the module folder.
    CNxImageLoaderManager& GetImageLoaderManager() { return *m_loaderManager; }

    // The executable's folder with a trailing '/', empty when it cannot be found.
    const std::string& GetModuleDirectory() const { return m_moduleDirectory; }

private:
    CNxSystem();

    std::unique_ptr<CNxImageLoaderManager> m_loaderManager;
    std::string m_moduleDirectory;
};
