#pragma once

#include <memory>
#include <string>

class CNxImageLoaderManager;

namespace platform {
class MessagePort;
class NativeWindow;
}  // namespace platform

// The drawing library's one shared object: the executable's folder, the processor's features,
// the owner of the library's message boxes and the image loader manager. Made on first use,
// destroyed at exit.
class CNxSystem {
public:
    static CNxSystem& Get();

    ~CNxSystem();
    CNxSystem(const CNxSystem&) = delete;
    CNxSystem& operator=(const CNxSystem&) = delete;

    // Decodes image files; its plug-ins are looked for in the module folder.
    CNxImageLoaderManager& GetImageLoaderManager() { return *m_loaderManager; }

    bool UseMMX() const { return m_useMMX; }
    bool HasMMX() const { return m_hasMMX; }
    bool Use3DNow() const { return m_use3DNow; }
    bool Has3DNow() const { return m_has3DNow; }
    // The executable's folder with a trailing '/', empty when it cannot be found.
    const std::string& GetModuleDirectory() const { return m_moduleDirectory; }

    // The window that owns the library's message boxes, and the port that shows them. Without a
    // port the library shows nothing.
    void SetOwnerWindow(platform::NativeWindow* owner);
    platform::NativeWindow* GetOwnerWindow() const { return m_ownerWindow; }
    void SetMessagePort(platform::MessagePort* port);
    platform::MessagePort* GetMessagePort() const { return m_messagePort; }

private:
    CNxSystem();
    void updateMessageTarget();

    std::unique_ptr<CNxImageLoaderManager> m_loaderManager;
    bool m_useMMX = false;
    bool m_hasMMX = false;
    bool m_use3DNow = false;
    bool m_has3DNow = false;
    std::string m_moduleDirectory;
    platform::NativeWindow* m_ownerWindow = nullptr;
    platform::MessagePort* m_messagePort = nullptr;
};
