#include <cstdint>
#include <cstdlib>
#include <string>

#include "preview/PlayerFile.h"

// A player definition as text; one that reads is written and reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    PlayerFile::Lists lists, again;
    std::string error, written;
    if (!PlayerFile::fromText(text, "/nonexistent", lists, error)) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (!PlayerFile::toText(lists, "", written, error) ||
        !PlayerFile::fromText(written, "/nonexistent", again, error) ||
        PlayerDefinition::fingerprint(again) != PlayerDefinition::fingerprint(lists)) {
        std::abort();
    }
    return 0;
}
