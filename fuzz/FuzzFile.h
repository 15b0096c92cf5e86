#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// For readers whose input is a file by nature (maps, chunk files, settings): each input is
// written to one scratch file per process first.
inline std::string fuzzFile(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/pelorin-fuzz-" +
               std::to_string(::getpid());
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}
