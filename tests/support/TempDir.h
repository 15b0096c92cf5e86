#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/HeadlessHost.h"

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::vector<std::uint8_t> readBytes(const std::string& path);
std::string readText(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);
bool exists(const std::string& path);
std::vector<std::string> listDir(const std::string& path);

// Little-endian helpers for building and checking file bytes.
void putU32(std::vector<std::uint8_t>& bytes, std::uint32_t value);
void putTag(std::vector<std::uint8_t>& bytes, const char* tag);
std::int32_t i32At(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// The message port of the map and attribute file code's tests: the headless host records every
// message box (boxes) and answers from a script (answers; OK when empty).
using RecordingPort = platform::headless::HeadlessHost;

}  // namespace testing_support
