#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Outcome.h"

namespace platform {

// How far a long transfer has come: bytes done of total, called between system calls.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// One piece of the bytes to write; the pieces are written back to back.
struct ByteSpan {
    const void* data;
    std::size_t size;
};

// Writes the pieces to path so that the file is either wholly replaced or left as it was:
// the bytes go to a temporary file in the same folder, which is flushed to disk and then
// renamed over path. An existing file keeps its permissions; a symbolic link is followed, so the
// file it names is replaced and the link stays. On failure the temporary file is removed,
// path is untouched, and the outcome's one notice says why.
Outcome<bool> writeFileAtomically(const std::string& path, const std::vector<ByteSpan>& pieces,
                                  const Progress& progress = {});

// Somewhere to read bytes into; pieces are filled one after another.
struct MutableSpan {
    void* data;
    std::size_t size;
};

// Reads exactly the pieces' total from the open file descriptor at offset, going on after short
// reads and interruptions. False on an error or at the end of the file.
bool readAllAt(int fd, std::uint64_t offset, const std::vector<MutableSpan>& pieces,
               const Progress& progress = {});

// A whole file read into memory.
struct FileBytes {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
};

// Reads the whole file at path. Fails when it cannot be opened or read, is a directory, or is
// larger than maxBytes; bytes is then empty.
bool readWholeFile(const std::string& path, FileBytes& bytes, std::uint64_t maxBytes);
// The same into text, for files that are read as text.
bool readWholeFile(const std::string& path, std::string& text, std::uint64_t maxBytes);

}  // namespace platform
