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
    std::string m_moduleDirectory;
    platform::NativeWindow* m_ownerWindow = nullptr;
    platform::MessagePort* m_messagePort = nullptr;
};
