#include "chips/KindRecord.h"

#include <cstring>

#include "platform/TextEncoding.h"

std::string KindRecord::memoBytes() const {
    return std::string(memo, strnlen(memo, kMemoBytes));
}

std::string KindRecord::memoText() const {
    const std::string bytes = memoBytes();
    return platform::cp932ToUtf8(bytes.data(), bytes.size());
}

KindRecord::MemoResult KindRecord::setMemoText(const std::string& utf8) {
    const platform::Cp932Text converted = platform::utf8ToCp932(utf8);
    MemoResult result;
    result.lossy = converted.lossy;
    result.truncated = !setMemoBytes(converted.bytes);
    return result;
}

bool KindRecord::setMemoBytes(const std::string& cp932) {
    // A NUL inside the text would end it early in the file; keep what precedes it.
    const std::size_t textLength = strnlen(cp932.data(), cp932.size());
    const std::size_t kept = platform::cp932PrefixLength(cp932.data(), textLength, kMemoBytes - 1);
    std::memset(memo, 0, kMemoBytes);
    std::memcpy(memo, cp932.data(), kept);
    return kept == cp932.size();
}
