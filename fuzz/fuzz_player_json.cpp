#include <cstdint>
#include <cstdlib>
#include <string>

#include "preview/PlayerFile.h"

// A player definition as text; one that reads is written and reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    PlayerFile::Lists lists, again;
    std::string written;
    const platform::Outcome<bool> read = PlayerFile::fromText(text, "/nonexistent", lists);
    if (!read.value) {
        if (read.notices.size() != 1 || read.notices[0].text.empty()) {
            std::abort();
        }
        return 0;
    }
    if (!read.notices.empty() || !PlayerFile::toText(lists, "", written).value ||
        !PlayerFile::fromText(written, "/nonexistent", again).value ||
        PlayerDefinition::fingerprint(again) != PlayerDefinition::fingerprint(lists)) {
        std::abort();
    }
    return 0;
}
