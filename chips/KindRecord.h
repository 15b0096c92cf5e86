#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One attribute, held in memory exactly as the attribute file stores it, so that records are
// copied to and from the file byte for byte. The memo is code page 932 text as the file has it;
// memoText and setMemoText give it as UTF-8.
struct KindRecord {
    static constexpr std::size_t kMemoBytes = 260;  // 259 bytes of text and the terminator

    std::int32_t number = 0;
    std::int32_t z = 0;
    char memo[kMemoBytes] = {};
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t pad = 0;
    std::int32_t passable = 1;
    std::int32_t dropThrough = 0;
    std::int32_t hitLeft = 0;
    std::int32_t hitTop = 0;
    std::int32_t hitRight = 0;
    std::int32_t hitBottom = 0;

    // The memo's stored bytes up to the terminator, or all 260 when there is none.
    std::string memoBytes() const;
    // The memo as UTF-8; bytes that are not CP932 show as U+FFFD.
    std::string memoText() const;

    struct MemoResult {
        bool lossy = false;      // characters without a CP932 form were stored as "?"
        bool truncated = false;  // the text was cut to 259 bytes at a character boundary
    };
    // Stores UTF-8 text as the memo: converted to CP932, each character without a CP932 form
    // stored as "?", cut to 259 bytes without splitting a character, the rest of the field NUL.
    MemoResult setMemoText(const std::string& utf8);
    // Stores CP932 bytes as they are, cut as setMemoText cuts.
    bool setMemoBytes(const std::string& cp932);
};

static_assert(sizeof(KindRecord) == 296, "the attribute record is 296 bytes in the file");
static_assert(offsetof(KindRecord, number) == 0 && offsetof(KindRecord, z) == 4 &&
                  offsetof(KindRecord, memo) == 8 && offsetof(KindRecord, red) == 268 &&
                  offsetof(KindRecord, green) == 269 && offsetof(KindRecord, blue) == 270 &&
                  offsetof(KindRecord, pad) == 271 && offsetof(KindRecord, passable) == 272 &&
                  offsetof(KindRecord, dropThrough) == 276 &&
                  offsetof(KindRecord, hitLeft) == 280 && offsetof(KindRecord, hitTop) == 284 &&
                  offsetof(KindRecord, hitRight) == 288 && offsetof(KindRecord, hitBottom) == 292,
              "the attribute record's fields lie where the file has them");
