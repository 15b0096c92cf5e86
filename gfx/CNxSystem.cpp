#include "gfx/CNxSystem.h"

#include "gfx/CNxImageLoaderManager.h"
#include "platform/ModuleDirectory.h"

CNxSystem& CNxSystem::Get() {
    // Built once, on first use, safely even if two threads ask at once; destroyed at exit.
    static CNxSystem system;
    return system;
}

CNxSystem::CNxSystem() : m_moduleDirectory(platform::ModuleDirectory::ofExecutable()) {
    m_loaderManager = std::make_unique<CNxImageLoaderManager>(m_moduleDirectory);
}

CNxSystem::~CNxSystem() = default;
