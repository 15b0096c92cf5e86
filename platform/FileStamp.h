#pragma once

#include <cstdint>
#include <string>

namespace platform {

// What tells a file apart from the same file changed: its device, inode, size and times. Any
// write or rename over it changes one of them (the change time cannot be set by programs).
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    // The stamp of the file at path now (a link is followed); exists is false when there is none.
    static FileStamp of(const std::string& path);

    bool operator==(const FileStamp& other) const {
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && modifiedNs == other.modifiedNs &&
               changedNs == other.changedNs;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

}  // namespace platform
