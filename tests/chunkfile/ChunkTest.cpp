#include <gtest/gtest.h>

#include <memory>

#include "chunkfile/ChunkData.h"
#include "chunkfile/ChunkReader.h"
#include "chunkfile/ChunkWriter.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

std::unique_ptr<ChunkData> bufferOf(const std::string& bytes) {
    auto data = std::make_unique<ChunkData>();
    data->AddSize(static_cast<std::uint32_t>(bytes.size()));
    data->Allocate();
    data->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    data->SetCursor(0);
    return data;
}

std::string contents(const ChunkData* data) {
    return std::string(reinterpret_cast<const char*>(data->Data()), data->Size());
}

}  // namespace

TEST(ChunkData, ReadsAndWritesStayInsideTheBuffer) {
    ChunkData data;
    data.AddSize(6);
    data.AddSize(2);
    data.Allocate();
    EXPECT_EQ(data.Size(), 8u);
    EXPECT_TRUE(data.WriteInt32(0x11223344));
    EXPECT_FALSE(data.Write("12345", 5)) << "5 bytes do not fit in the 4 left";
    EXPECT_EQ(data.Cursor(), 4u) << "a refused write moves nothing";
    EXPECT_TRUE(data.WriteInt32(-2));
    EXPECT_FALSE(data.WriteInt32(1));

    data.SetCursor(0);
    std::int32_t a = 0, b = 0, c = 77;
    EXPECT_TRUE(data.ReadInt32(a));
    EXPECT_TRUE(data.ReadInt32(b));
    EXPECT_FALSE(data.ReadInt32(c));
    EXPECT_EQ(a, 0x11223344);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(c, 77) << "a refused read leaves the target alone";
    EXPECT_EQ(data.Data()[0], 0x44) << "little-endian";

    data.SetCursor(100);  // a cursor past the end reads nothing
    EXPECT_FALSE(data.ReadInt32(c));
    EXPECT_EQ(data.Remaining(), 0u);

    data.Resize(3);
    EXPECT_EQ(data.Size(), 3u);
    EXPECT_EQ(data.Cursor(), 0u);
    data.Release();
    EXPECT_EQ(data.Size(), 0u);
    EXPECT_EQ(data.Data(), nullptr);
}

TEST(ChunkFile, ExactBytesOfTheLayout) {
    TempDir dir;
    {
        ChunkWriter writer;
        EXPECT_TRUE(writer.Save(dir.file("empty")).value);
        EXPECT_EQ(readBytes(dir.file("empty")).size(), 0u) << "no chunks, no bytes";
    }
    ChunkWriter writer;
    writer.Add("MAPB", bufferOf(std::string(16, '\x5a')));
    writer.Add("NONE", bufferOf(""));
    writer.Add("AB", bufferOf("x"));      // short tags are padded with NULs
    writer.Add("LONGER", bufferOf("y"));  // long ones cut to four
    ASSERT_TRUE(writer.Save(dir.file("f")).value);

    std::vector<std::uint8_t> expected;
    putTag(expected, "MAPB");
    putU32(expected, 16);
    expected.insert(expected.end(), 16, 0x5a);
    putTag(expected, "NONE");
    putU32(expected, 0);
    expected.insert(expected.end(), {'A', 'B', 0, 0});
    putU32(expected, 1);
    expected.push_back('x');
    putTag(expected, "LONG");
    putU32(expected, 1);
    expected.push_back('y');
    EXPECT_EQ(readBytes(dir.file("f")), expected);
    EXPECT_EQ(std::vector<std::uint8_t>(expected.begin(), expected.begin() + 8),
              (std::vector<std::uint8_t>{'M', 'A', 'P', 'B', 0x10, 0, 0, 0}));

    ChunkReader reader(dir.file("f"));
    ASSERT_EQ(reader.Count(), 4);
    EXPECT_EQ(reader.TagAt(0), "MAPB");
    EXPECT_EQ(reader.TagAt(1), "NONE");
    EXPECT_EQ(reader.DataAt(1)->Size(), 0u);
    EXPECT_EQ(reader.TagAt(2), "AB") << "a NUL ends the tag text";
    EXPECT_EQ(reader.TagAt(3), "LONG");
    EXPECT_EQ(reader.TagAt(4), "");
    EXPECT_EQ(reader.DataAt(-1), nullptr);
    EXPECT_EQ(reader.Find("AB\0\0"), reader.DataAt(2));
    EXPECT_EQ(reader.Find("mapb"), nullptr) << "tags compare case-sensitively";
}

TEST(ChunkFile, FindTakesTheFirstChunkOfATag) {
    TempDir dir;
    ChunkWriter writer;
    writer.Add("KIND", bufferOf("first"));
    writer.Add("KIND", bufferOf("second"));
    EXPECT_EQ(contents(writer.Find("KIND")), "first");
    ASSERT_TRUE(writer.Save(dir.file("k")).value);
    ChunkReader reader(dir.file("k"));
    EXPECT_EQ(contents(reader.Find("KIND")), "first");
}

TEST(ChunkFile, SplittingStopsAtAChunkThatRunsPastTheEnd) {
    TempDir dir;
    std::vector<std::uint8_t> bytes;
    putTag(bytes, "GOOD");
    putU32(bytes, 2);
    bytes.insert(bytes.end(), {1, 2});
    putTag(bytes, "LATE");
    putU32(bytes, 0xFFFFFFFF);  // promises far more than is there
    bytes.insert(bytes.end(), {3, 4, 5});
    writeBytes(dir.file("cut-data"), bytes);
    ChunkReader cutData(dir.file("cut-data"));
    ASSERT_EQ(cutData.Count(), 1);
    EXPECT_EQ(cutData.TagAt(0), "GOOD");
    EXPECT_EQ(cutData.Find("LATE"), nullptr);

    bytes.resize(10 + 5);  // GOOD and half of the next header
    writeBytes(dir.file("cut-header"), bytes);
    EXPECT_EQ(ChunkReader(dir.file("cut-header")).Count(), 1);

    writeBytes(dir.file("empty"), {});
    ChunkReader empty(dir.file("empty"));
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_TRUE(empty.IsRead());
    ChunkReader missing(dir.file("missing"));
    EXPECT_EQ(missing.Count(), 0);
    EXPECT_FALSE(missing.IsRead());
    EXPECT_EQ(missing.Find("MAPB"), nullptr);
}
