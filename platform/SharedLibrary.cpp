#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace platform {

SharedLibrary::~SharedLibrary() {
    close();
}

bool SharedLibrary::open(const std::string& path) {
    close();
    m_handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle != nullptr) {
        m_path = path;
    }
    return m_handle != nullptr;
}

void SharedLibrary::close() {
    if (m_handle != nullptr) {
        ::dlclose(m_handle);
        m_handle = nullptr;
    }
    m_path.clear();
}

void* SharedLibrary::symbol(const char* name) const {
    return m_handle != nullptr ? ::dlsym(m_handle, name) : nullptr;
}

}  // namespace platform
