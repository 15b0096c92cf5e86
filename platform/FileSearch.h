#pragma once

#include <string>

namespace platform {

// Walks the entries of one folder whose names end in a given suffix (say ".spi"), in the order
// the file system returns them, one at a time.
class FileSearch {
public:
    FileSearch() = default;
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // Starts a search of folder; false when it cannot be read. An open search is closed first.
    bool open(const std::string& folder, const std::string& suffix);
    // The next matching name (without the folder); false when there is none left.
    bool next(std::string& name);
    void close();

private:
    void* m_dir = nullptr;  // DIR*, kept out of the header
    std::string m_suffix;
};

}  // namespace platform
