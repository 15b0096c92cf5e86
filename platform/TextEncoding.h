#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Texts live in memory as UTF-8. Some file formats store Japanese text as code page 932
// (Shift-JIS with the Windows extensions) so that they stay byte-compatible with files made on
// Windows; these conversions sit at that file boundary.

// CP932 bytes to UTF-8. A byte sequence that is not CP932 becomes U+FFFD, one per bad byte.
std::string cp932ToUtf8(const char* bytes, std::size_t size);

struct Cp932Text {
    std::string bytes;
    bool lossy = false;  // some character had no CP932 form, or the UTF-8 was malformed
};

// UTF-8 to CP932 bytes. Each character without a CP932 form, and each malformed UTF-8 byte,
// becomes "?" and sets lossy.
Cp932Text utf8ToCp932(const std::string& utf8);

// The length of the longest start of the CP932 bytes that is at most maxBytes long and does
// not end in the middle of a double-byte character.
std::size_t cp932PrefixLength(const char* bytes, std::size_t size, std::size_t maxBytes);

}  // namespace platform
