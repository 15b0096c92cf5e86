#include "gfx/CNxSystem.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "gfx/CNxImageLoaderManager.h"
#include "platform/ModuleDirectory.h"

CNxSystem& CNxSystem::Get() {
    // Built once, on first use, safely even if two threads ask at once; destroyed at exit.
    static CNxSystem system;
    return system;
}

CNxSystem::CNxSystem() : m_moduleDirectory(platform::ModuleDirectory::ofExecutable()) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    m_hasMMX = __builtin_cpu_supports("mmx") != 0;
    if (m_hasMMX) {
        // __get_cpuid checks the highest extended function before asking for 0x80000001.
        unsigned a = 0, b = 0, c = 0, d = 0;
        m_has3DNow = __get_cpuid(0x80000001u, &a, &b, &c, &d) != 0 && (d >> 31) != 0;
    }
#endif
    m_useMMX = m_hasMMX;
    m_use3DNow = m_has3DNow;
    m_loaderManager = std::make_unique<CNxImageLoaderManager>(m_moduleDirectory);
}

CNxSystem::~CNxSystem() = default;

void CNxSystem::SetOwnerWindow(platform::NativeWindow* owner) {
    m_ownerWindow = owner;
    updateMessageTarget();
}

void CNxSystem::SetMessagePort(platform::MessagePort* port) {
    m_messagePort = port;
    updateMessageTarget();
}

void CNxSystem::updateMessageTarget() {
    CNxMessageTarget target;
    target.port = m_messagePort;
    target.owner = m_ownerWindow;
    m_loaderManager->SetMessageTarget(target);
}
