#include "platform/FileSearch.h"

#include <dirent.h>

namespace platform {

FileSearch::~FileSearch() {
    close();
}

bool FileSearch::open(const std::string& folder, const std::string& suffix) {
    close();
    if (folder.empty()) {
        return false;  // never the current folder by accident
    }
    m_dir = ::opendir(folder.c_str());
    m_suffix = suffix;
    return m_dir != nullptr;
}

bool FileSearch::next(std::string& name) {
    if (m_dir == nullptr) {
        return false;
    }
    while (const dirent* entry = ::readdir(static_cast<DIR*>(m_dir))) {
        const std::string candidate = entry->d_name;
        if (candidate.size() >= m_suffix.size() &&
            candidate.compare(candidate.size() - m_suffix.size(), m_suffix.size(), m_suffix) == 0 &&
            entry->d_type != DT_DIR) {
            name = candidate;
            return true;
        }
    }
    return false;
}

void FileSearch::close() {
    if (m_dir != nullptr) {
        ::closedir(static_cast<DIR*>(m_dir));
        m_dir = nullptr;
    }
}

}  // namespace platform
