#include "gfx/CNxFile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

// 200 000 bytes whose value tells their offset (mod 251), so any misplaced byte shows.
std::vector<std::uint8_t> numbered(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    }
    return bytes;
}

}  // namespace

TEST(CNxFile, OpenModesMapToAccessAndCreation) {
    TempDir dir;
    const std::string path = dir.file("a.bin");
    CNxFile file;
    EXPECT_EQ(file.Open(path.c_str(), CNxFile::modeRead), 0) << "missing file, no create bit";
    EXPECT_EQ(file.Open(path.c_str(), CNxFile::modeCreate), 0) << "no access bits";
    EXPECT_FALSE(file.IsOpen());

    writeText(path, "old contents");
    ASSERT_EQ(
        file.Open(path.c_str(), CNxFile::modeWrite | CNxFile::modeCreate | CNxFile::modeNoTruncate),
        1);
    EXPECT_EQ(file.Size(), 12) << "open-or-create keeps the file";
    EXPECT_EQ(file.Read(nullptr, 0), 0);
    char c;
    EXPECT_EQ(file.Read(&c, 1), -1) << "not opened for reading";
    EXPECT_EQ(file.Close(), 1);
    EXPECT_EQ(file.Close(), 0);

    ASSERT_EQ(file.Open(path.c_str(), CNxFile::modeReadWrite | CNxFile::modeCreate), 1);
    EXPECT_EQ(file.Size(), 0) << "create without the keep bit truncates";
    EXPECT_EQ(file.Open(dir.file("other").c_str(), CNxFile::modeRead | CNxFile::modeCreate), 0)
        << "an open object keeps its first file";
    EXPECT_EQ(file.GetFileName(), path);
    EXPECT_FALSE(exists(dir.file("other")));
    file.Close();
    EXPECT_EQ(file.Open(dir.path().c_str(), CNxFile::modeRead), 0) << "a folder is no file";
}

TEST(CNxFile, ShareBitsLockAgainstOtherOpens) {
    TempDir dir;
    const std::string path = dir.file("s.bin");
    writeText(path, "x");
    CNxFile first, second;
    ASSERT_EQ(first.Open(path.c_str(), CNxFile::modeRead | CNxFile::modeShareExclusive), 1);
    EXPECT_EQ(second.Open(path.c_str(), CNxFile::modeRead | CNxFile::modeShareDenyWrite), 0);
    EXPECT_EQ(second.Open(path.c_str(), CNxFile::modeRead), 1) << "shared opens take no lock";
    second.Close();
    first.Close();
    ASSERT_EQ(first.Open(path.c_str(), CNxFile::modeRead | CNxFile::modeShareDenyWrite), 1);
    EXPECT_EQ(second.Open(path.c_str(), CNxFile::modeRead | CNxFile::modeShareDenyWrite), 1);
    CNxFile third;
    EXPECT_EQ(third.Open(path.c_str(), CNxFile::modeRead | CNxFile::modeShareExclusive), 0);
}

// The same reads and seeks of a file and of the same bytes in memory.
TEST(CNxFile, ReadsAndSeeksAcrossTheBuffer) {
    for (const bool inMemory : {false, true}) {
        SCOPED_TRACE(inMemory ? "memory" : "file");
        TempDir dir;
        const std::string path = dir.file("n.bin");
        const std::vector<std::uint8_t> bytes = numbered(200000);
        writeBytes(path, bytes);
        CNxFile file;
        ASSERT_EQ(inMemory ? file.OpenMemory(bytes.data(), bytes.size(), "n.bin")
                           : file.Open(path.c_str(), CNxFile::modeRead),
                  1);
        EXPECT_EQ(file.OpenMemory(bytes.data(), 1), 0) << "already open";
        EXPECT_EQ(file.Size(), 200000);

        std::vector<std::uint8_t> got(200000);
        // Small reads, a read straddling the buffer's end, a large one past the buffer, a short one
        // at the end of the file.
        std::size_t at = 0;
        for (std::int64_t count : {3, 65530, 10, 100000, 40000}) {
            const std::int64_t n = file.Read(got.data() + at, count);
            const std::int64_t expected = std::min<std::int64_t>(count, 200000 - at);
            ASSERT_EQ(n, expected) << "at " << at;
            at += static_cast<std::size_t>(n);
        }
        EXPECT_EQ(got, bytes);
        EXPECT_EQ(file.Read(got.data(), 5), 0);

        std::uint8_t b[4];
        EXPECT_EQ(file.Seek(70000, CNxFile::seekBegin), 70000);
        ASSERT_EQ(file.Read(b, 4), 4);
        EXPECT_EQ(b[0], 70000 % 251);
        EXPECT_EQ(file.Seek(-8, CNxFile::seekCurrent), 69996);
        ASSERT_EQ(file.Read(b, 1), 1);
        EXPECT_EQ(b[0], 69996 % 251);
        EXPECT_EQ(file.Seek(-1, CNxFile::seekEnd), 199999);
        EXPECT_EQ(file.Size(), 200000);
        ASSERT_EQ(file.Read(b, 4), 1) << "Size leaves the position alone";
        EXPECT_EQ(b[0], 199999 % 251);
        EXPECT_EQ(file.Seek(10, CNxFile::seekEnd), 200010) << "past the end is allowed";
        EXPECT_EQ(file.Read(b, 1), 0);
        EXPECT_EQ(file.Seek(-1, CNxFile::seekBegin), -1);
        EXPECT_EQ(file.Seek(0, 7), -1);
        EXPECT_EQ(file.Seek(5, CNxFile::seekBegin), 5);
        ASSERT_EQ(file.Read(b, 1), 1);
        EXPECT_EQ(b[0], 5);
        EXPECT_EQ(file.Close(), 1);
        EXPECT_EQ(file.Read(b, 1), -1);
    }
}

TEST(CNxFile, GetFileNameCopiesWithOrWithoutTerminator) {
    TempDir dir;
    const std::string path = dir.file("name.bin");
    writeText(path, "");
    CNxFile file;
    char buffer[512];
    EXPECT_EQ(file.GetFileName(buffer, sizeof buffer), -1) << "closed";
    ASSERT_EQ(file.Open(path.c_str(), CNxFile::modeRead), 1);
    const int length = static_cast<int>(path.size());
    EXPECT_EQ(file.GetFileName(nullptr, 0), length);
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(file.GetFileName(buffer, length + 1), length + 1);
    EXPECT_STREQ(buffer, path.c_str());
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(file.GetFileName(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 5), path.substr(0, 4) + "#") << "no terminator when short";
    file.Close();
    EXPECT_EQ(file.GetFileName(nullptr, 0), -1);
    EXPECT_EQ(file.Read(buffer, 1), -1);
    EXPECT_EQ(file.Seek(0, CNxFile::seekBegin), -1);
    EXPECT_EQ(file.Size(), -1);
}
