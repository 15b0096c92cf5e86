#pragma once

#include <string>

namespace platform {

// A shared object loaded with dlopen, unloaded when this object is closed or destroyed.
class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Loads path, resolving every symbol now and keeping them out of the global namespace.
    // An object that is already open is closed first. False when the file cannot be loaded.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    // The address of an exported symbol, null when it is missing or nothing is open.
    void* symbol(const char* name) const;
    const std::string& path() const { return m_path; }

private:
    void* m_handle = nullptr;
    std::string m_path;
};

}  // namespace platform
