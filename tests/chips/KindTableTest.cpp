#include "chips/KindTable.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

const std::string kUndefined = "\x91\xae\x90\xab\x96\xa2\x92\xe8\x8b\x60";  // 属性未定義 in CP932

std::vector<std::uint8_t> recordBytes(const KindRecord& record) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&record);
    return std::vector<std::uint8_t>(p, p + sizeof record);
}

std::vector<std::uint8_t> kindFile(std::int32_t count, const std::vector<KindRecord>& records) {
    std::vector<std::uint8_t> bytes;
    putTag(bytes, "KIND");
    putU32(bytes, static_cast<std::uint32_t>(4 + 296 * records.size()));
    putU32(bytes, static_cast<std::uint32_t>(count));
    for (const KindRecord& r : records) {
        const std::vector<std::uint8_t> b = recordBytes(r);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

}  // namespace

TEST(KindTable, DefaultTable) {
    KindTable table;
    table.resetToDefaults(1234);
    ASSERT_EQ(table.count(), 100);
    bool coloursVary = false;
    for (int i = 0; i < 100; ++i) {
        const KindRecord r = table.record(i);
        EXPECT_EQ(r.number, i);
        EXPECT_EQ(r.z, 0);
        EXPECT_EQ(r.memoBytes(), kUndefined);
        EXPECT_EQ(r.memoText(), "属性未定義");
        EXPECT_EQ(r.passable, 1);
        EXPECT_EQ(r.dropThrough, 0);
        EXPECT_EQ(r.hitLeft | r.hitTop | r.hitRight | r.hitBottom, 0);
        coloursVary = coloursVary || r.red != table.record(0).red || r.blue != r.green;
    }
    EXPECT_TRUE(coloursVary);

    KindTable same;
    same.resetToDefaults(1234);
    KindTable other;
    other.resetToDefaults(99);
    EXPECT_EQ(recordBytes(same.record(57)), recordBytes(table.record(57)));
    EXPECT_NE(recordBytes(other.record(57)), recordBytes(table.record(57)));
}

TEST(KindFile, TheDefaultTableIs29612Bytes) {
    TempDir dir;
    KindTable table;
    KindRecord r = table.record(3);
    r.z = 7;
    r.red = 1;
    r.green = 2;
    r.blue = 3;
    r.passable = 0;
    r.dropThrough = 1;
    r.hitLeft = 4;
    r.hitTop = 5;
    r.hitRight = 6;
    r.hitBottom = 8;
    table.setRecord(3, r);
    std::string path = dir.file("attr.knd");
    ASSERT_TRUE(table.saveFile(path));
    const std::vector<std::uint8_t> bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 29612u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "KIND");
    EXPECT_EQ(i32At(bytes, 4), 29604);
    EXPECT_EQ(i32At(bytes, 8), 100);

    const std::size_t at = 12 + 3 * 296;
    EXPECT_EQ(i32At(bytes, at + 0), 3);
    EXPECT_EQ(i32At(bytes, at + 4), 7);
    EXPECT_EQ(std::string(bytes.begin() + at + 8, bytes.begin() + at + 18), kUndefined);
    EXPECT_EQ(bytes[at + 18], 0);
    EXPECT_EQ(bytes[at + 268], 1);
    EXPECT_EQ(bytes[at + 269], 2);
    EXPECT_EQ(bytes[at + 270], 3);
    EXPECT_EQ(i32At(bytes, at + 272), 0);
    EXPECT_EQ(i32At(bytes, at + 276), 1);
    EXPECT_EQ(i32At(bytes, at + 280), 4);
    EXPECT_EQ(i32At(bytes, at + 284), 5);
    EXPECT_EQ(i32At(bytes, at + 288), 6);
    EXPECT_EQ(i32At(bytes, at + 292), 8);
}

TEST(KindFile, ForcesTheExtension) {
    TempDir dir;
    KindTable table;
    for (const char* name : {"k.KND", "k", "k.map"}) {
        std::string path = dir.file(name);
        ASSERT_TRUE(table.saveFile(path));
        EXPECT_EQ(path, dir.file("k.knd")) << name;
    }
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"k.knd"});
}

TEST(KindFile, LoadAndSaveReproduceEveryByteOfEveryRecord) {
    TempDir dir;
    std::vector<KindRecord> records(3);
    for (int i = 0; i < 3; ++i) {
        std::memset(static_cast<void*>(&records[i]), 0xA0 + i,
                    sizeof(KindRecord));  // tails and pad included
        records[i].number = 40 - i;       // numbers that are not the positions
        std::memcpy(records[i].memo, "memo\0junk", 9);
    }
    std::memset(records[2].memo, 'x', KindRecord::kMemoBytes);  // no terminator at all
    std::vector<std::uint8_t> bytes;
    putTag(bytes, "MAPB");  // another chunk first
    putU32(bytes, 1);
    bytes.push_back(0);
    const std::vector<std::uint8_t> kind = kindFile(3, records);
    bytes.insert(bytes.end(), kind.begin(), kind.end());
    writeBytes(dir.file("in.knd"), bytes);

    KindTable table;
    ASSERT_TRUE(table.loadFile(dir.file("in.knd")));
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.record(0).number, 40);
    EXPECT_EQ(table.record(0).memoText(), "memo");
    EXPECT_EQ(table.record(2).memoBytes(), std::string(260, 'x'));

    std::string out = dir.file("out.knd");
    ASSERT_TRUE(table.saveFile(out));
    EXPECT_EQ(readBytes(out), kind);
}

TEST(KindFile, RefusedFilesLeaveTheTableAsItWas) {
    TempDir dir;
    KindTable table;
    table.resetToDefaults(5);
    const std::vector<std::uint8_t> before = recordBytes(table.record(99));
    std::vector<KindRecord> two(2);

    std::vector<std::uint8_t> noKind;
    putTag(noKind, "MAPB");
    putU32(noKind, 0);
    std::vector<std::uint8_t> tooFew = kindFile(3, two);         // says 3, holds 2
    std::vector<std::uint8_t> huge = kindFile(0x7FFFFFFF, two);  // 296 × N overflows 32 bits
    std::vector<std::uint8_t> noCount = {'K', 'I', 'N', 'D', 2, 0, 0, 0, 1, 0};
    const std::vector<std::vector<std::uint8_t>> files = {noKind, tooFew, huge, noCount, {}};
    for (const auto& file : files) {
        writeBytes(dir.file("bad.knd"), file);
        const platform::Outcome<bool> refused = table.load(dir.file("bad.knd"));
        EXPECT_FALSE(refused.value);
        ASSERT_EQ(refused.notices.size(), 1u);
        EXPECT_EQ(refused.notices[0].text, dir.file("bad.knd") + "\n属性ファイルとして読めません");
        ASSERT_EQ(table.count(), 100);
        EXPECT_EQ(recordBytes(table.record(99)), before);
    }
    EXPECT_FALSE(table.loadFile(dir.file("absent.knd")));
    EXPECT_EQ(table.count(), 100);

    writeBytes(dir.file("none.knd"), kindFile(-4, {}));
    EXPECT_TRUE(table.loadFile(dir.file("none.knd")));
    EXPECT_EQ(table.count(), 0) << "a count of zero or below gives an empty table";
    EXPECT_FALSE(table.hasRecord(0));
}

TEST(KindRecord, MemoTextIsStoredAsCp932AndCutOnACharacterBoundary) {
    KindRecord r;
    KindRecord::MemoResult result = r.setMemoText("壁（通行不可）");
    EXPECT_FALSE(result.lossy);
    EXPECT_FALSE(result.truncated);
    EXPECT_EQ(r.memoText(), "壁（通行不可）");
    EXPECT_EQ(r.memoBytes().size(), 14u);

    std::string longText = "a";
    for (int i = 0; i < 130; ++i) {
        longText += "あ";
    }
    result = r.setMemoText(longText);  // 1 + 260 bytes: the last character does not fit
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(r.memoBytes().size(), 259u);
    EXPECT_EQ(r.memo[259], 0);

    result = r.setMemoText(longText.substr(1));  // 260 bytes of double-byte characters
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(r.memoBytes().size(), 258u) << "half a character is never kept";
    EXPECT_EQ(r.memoText().size(), 129u * 3);

    result = r.setMemoText("火🔥水");
    EXPECT_TRUE(result.lossy);
    EXPECT_EQ(r.memoText(), "火?水");
    EXPECT_EQ(std::string(r.memo + 5, r.memo + KindRecord::kMemoBytes), std::string(255, '\0'))
        << "the rest of the field is cleared";
}
