#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using platform::cp932PrefixLength;
using platform::cp932ToUtf8;
using platform::utf8ToCp932;

namespace {
const std::string kUndefinedCp932 = "\x91\xae\x90\xab\x96\xa2\x92\xe8\x8b\x60";  // 属性未定義
}

TEST(Cp932, ConvertsBothWaysWithTheWindowsMappings) {
    EXPECT_EQ(cp932ToUtf8(kUndefinedCp932.data(), kUndefinedCp932.size()), "属性未定義");
    const platform::Cp932Text text = utf8ToCp932("属性未定義");
    EXPECT_EQ(text.bytes, kUndefinedCp932);
    EXPECT_FALSE(text.lossy);
    // Half-width katakana, the wave dash and the backslash as Windows writes them.
    EXPECT_EQ(utf8ToCp932("ｱ～\\a").bytes,
              "\xb1\x81\x60\x5c"
              "a");
    EXPECT_EQ(cp932ToUtf8("\xb1\x81\x60", 3), "ｱ～");
}

TEST(Cp932, TextWithoutACp932FormBecomesQuestionMarks) {
    const platform::Cp932Text emoji = utf8ToCp932("a😀b");
    EXPECT_EQ(emoji.bytes, "a?b");
    EXPECT_TRUE(emoji.lossy);
    const platform::Cp932Text malformed = utf8ToCp932("x\xff\xc3y");
    EXPECT_EQ(malformed.bytes, "x??y");
    EXPECT_TRUE(malformed.lossy);
}

TEST(Cp932, BytesThatAreNotCp932ShowAsReplacementCharacters) {
    // 0xA0 is no character; 0x81 at the very end is half a character.
    EXPECT_EQ(cp932ToUtf8("a\xa0"
                          "b\x81",
                          4),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

TEST(Cp932, PrefixesNeverSplitADoubleByteCharacter) {
    const std::string s = "a" + kUndefinedCp932;  // 1 + 5 × 2 bytes
    EXPECT_EQ(cp932PrefixLength(s.data(), s.size(), 100), 11u);
    EXPECT_EQ(cp932PrefixLength(s.data(), s.size(), 11), 11u);
    EXPECT_EQ(cp932PrefixLength(s.data(), s.size(), 10), 9u);
    EXPECT_EQ(cp932PrefixLength(s.data(), s.size(), 2), 1u);
    EXPECT_EQ(cp932PrefixLength("\xb1\xb1\xb1", 3, 2), 2u) << "half-width kana are one byte";
}
