#include "platform/TextEncoding.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

namespace {

// Owns one iconv descriptor for the length of a conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            ::iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at a sequence it cannot convert (or an
    // incomplete one at the end), leaving in/inLeft at that sequence.
    bool run(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[512];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            char* inPtr = const_cast<char*>(in);
            const std::size_t r = ::iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const int err = errno;
            in = inPtr;
            out.append(buffer, outPtr - buffer);
            if (r == static_cast<std::size_t>(-1) && err != E2BIG) {
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

bool isCp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of the UTF-8 character starting at s (at most left bytes), or 1 when it is malformed.
std::size_t utf8CharLength(const unsigned char* s, std::size_t left) {
    std::size_t n = 1;
    if (s[0] >= 0xC2 && s[0] <= 0xDF) {
        n = 2;
    } else if (s[0] >= 0xE0 && s[0] <= 0xEF) {
        n = 3;
    } else if (s[0] >= 0xF0 && s[0] <= 0xF4) {
        n = 4;
    }
    if (n > left) {
        return 1;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            return 1;
        }
    }
    return n;
}

}  // namespace

std::string cp932ToUtf8(const char* bytes, std::size_t size) {
    std::string out;
    Converter conv("UTF-8", "CP932");
    if (!conv.valid()) {
        // Without the converter only ASCII can be shown faithfully.
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string("\xEF\xBF\xBD");
        }
        return out;
    }
    const char* in = bytes;
    std::size_t left = size;
    while (!conv.run(in, left, out)) {
        out += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return out;
}

Cp932Text utf8ToCp932(const std::string& utf8) {
    Cp932Text result;
    Converter conv("CP932", "UTF-8");
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    if (!conv.valid()) {
        for (unsigned char c : utf8) {
            result.bytes += c < 0x80 ? static_cast<char>(c) : '?';
            result.lossy = result.lossy || c >= 0x80;
        }
        return result;
    }
    while (!conv.run(in, left, result.bytes)) {
        const std::size_t skip = utf8CharLength(reinterpret_cast<const unsigned char*>(in), left);
        result.bytes += '?';
        result.lossy = true;
        in += skip;
        left -= skip;
    }
    return result;
}

std::size_t cp932PrefixLength(const char* bytes, std::size_t size, std::size_t maxBytes) {
    std::size_t i = 0;
    const std::size_t limit = size < maxBytes ? size : maxBytes;
    while (i < limit) {
        const std::size_t n = isCp932Lead(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + n > limit) {
            break;
        }
        i += n;
    }
    return i;
}

}  // namespace platform
