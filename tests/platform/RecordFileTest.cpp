// The record files recovery data is kept in, and the folders that hold them: whole records come
// back exactly, and anything short of a whole record never does.
#include "platform/RecordFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/RecoveryFolder.h"
#include "tests/support/TempDir.h"

using namespace testing_support;
using platform::RecordReader;
using Status = RecordReader::Status;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Record {
    std::uint32_t kind;
    Bytes payload;
    bool operator==(const Record& o) const { return kind == o.kind && payload == o.payload; }
};

struct ReadBack {
    std::vector<Record> records;
    Status last = Status::End;
    std::uint64_t goodEnd = 0;
};

ReadBack readAll(const std::string& path) {
    ReadBack back;
    RecordReader reader;
    const platform::Outcome<bool> opened = reader.open(path, 1 << 20);
    EXPECT_TRUE(opened.value) << opened.why();
    Record r;
    std::uint64_t length = 0;
    while ((back.last = reader.next(r.kind, length)) == Status::Record &&
           (back.last = reader.readPayload(r.payload, 1 << 20)) == Status::Record) {
        back.records.push_back(r);
    }
    back.goodEnd = reader.goodEnd();
    return back;
}

// A file of three records: an empty payload, one byte, and 300 bytes of many values.
class RecordFile : public ::testing::Test {
protected:
    RecordFile() {
        for (int i = 0; i < 300; ++i) {
            records[2].payload.push_back(static_cast<std::uint8_t>(i * 7));
        }
        for (const Record& r : records) {
            platform::record::append(bytes, r.kind, {{r.payload.data(), r.payload.size()}});
            ends.push_back(bytes.size());
        }
    }
    ReadBack readBack(const Bytes& content) {
        writeBytes(path, content);
        return readAll(path);
    }
    std::vector<Record> firstRecords(std::size_t count) const {
        return {records.begin(), records.begin() + count};
    }

    TempDir dir;
    const std::string path = dir.file("f");
    std::vector<Record> records{{platform::record::kind("AAAA"), {}},
                                {platform::record::kind("BBBB"), {0x42}},
                                {platform::record::kind("CCCC"), {}}};
    Bytes bytes;
    std::vector<std::size_t> ends;  // of each record
};

}  // namespace

// Cut anywhere (or not at all), a file gives exactly its whole records before the cut, then
// says whether it ends cleanly or torn.
TEST_F(RecordFile, EveryCutGivesTheWholeRecordsBeforeIt) {
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        std::size_t whole = 0, goodEnd = 0;
        for (; whole < ends.size() && ends[whole] <= cut; ++whole) {
            goodEnd = ends[whole];
        }
        const ReadBack back = readBack({bytes.begin(), bytes.begin() + cut});
        ASSERT_EQ(back.records, firstRecords(whole)) << "cut at " << cut;
        EXPECT_EQ(back.last, cut == goodEnd ? Status::End : Status::Torn) << "cut at " << cut;
        EXPECT_EQ(back.goodEnd, goodEnd) << "cut at " << cut;
    }
}

// Any damaged byte stops the reader at the record holding it; none is returned changed.
TEST_F(RecordFile, EveryDamagedByteIsCaught) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xff}) {
            Bytes damaged = bytes;
            damaged[at] ^= flip;
            std::size_t holding = 0;
            while (ends[holding] <= at) {
                ++holding;
            }
            const ReadBack back = readBack(damaged);
            ASSERT_EQ(back.records, firstRecords(holding)) << "byte " << at << " ^ " << +flip;
            ASSERT_EQ(back.last, Status::Damaged) << "byte " << at << " ^ " << +flip;
        }
    }
}

TEST_F(RecordFile, RefusesWhatItCannotTrust) {
    // A header claiming 3 GiB in a small file is torn, before anything is allocated.
    const auto h = platform::record::header(5, 3ull << 30);
    Bytes huge(h.begin(), h.end());
    huge.resize(huge.size() + 64, 0xab);
    EXPECT_EQ(readBack(huge).last, Status::Torn);

    writeBytes(path, bytes);
    RecordReader reader;
    ASSERT_TRUE(reader.open(path, ends.back()).value);
    std::uint32_t kind = 0;
    std::uint64_t length = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(reader.next(kind, length), Status::Record);
    }
    Bytes payload;
    EXPECT_EQ(reader.readPayload(payload, 299), Status::Damaged);
    EXPECT_TRUE(payload.empty());

    platform::Outcome<bool> opened = reader.open(path, ends.back() - 1);
    EXPECT_FALSE(opened.value);
    EXPECT_EQ(opened.why(),
              path + ": " + std::to_string(ends.back()) + " bytes, more than such a file holds");
    ASSERT_EQ(::symlink(path.c_str(), dir.file("link").c_str()), 0);
    opened = reader.open(dir.file("link"), 1 << 20);
    EXPECT_FALSE(opened.value);
    EXPECT_EQ(opened.why(), dir.file("link") + ": a symbolic link, not a file");

    // A payload written in pieces is one record of their bytes.
    const Bytes a{1, 2}, b{3};
    ASSERT_TRUE(platform::record::writeFile(path, 77, {{a.data(), 2}, {b.data(), 1}}).value);
    EXPECT_EQ(readAll(path).records, (std::vector<Record>{{77, {1, 2, 3}}}));
}

TEST_F(RecordFile, AFailedAppendIsCutOffAndATornTailCutOnReopening) {
    const Bytes first(bytes.begin(), bytes.begin() + ends[0]);
    const Bytes rest(bytes.begin() + ends[0], bytes.end());
    platform::AppendFile file;
    ASSERT_TRUE(file.create(path).value);
    ASSERT_TRUE(file.append({{first.data(), first.size()}}).value);
    // A limit on the file's size stops the write part way, as a full disk would.
    rlimit old, low;
    ::getrlimit(RLIMIT_FSIZE, &old);
    low = old;
    low.rlim_cur = ends[1] + 10;
    const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &low);
    const platform::Outcome<bool> appended = file.append({{rest.data(), rest.size()}});
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, handler);
    EXPECT_FALSE(appended.value);
    EXPECT_EQ(appended.why(), path + ": File too large");
    EXPECT_EQ(file.size(), ends[0]);
    EXPECT_EQ(readBytes(path), first);

    // A crash leaves a torn record; opening at the good end drops it before appending.
    file.close();
    const ReadBack torn = readBack({bytes.begin(), bytes.begin() + ends[1] + 5});
    EXPECT_EQ(torn.last, Status::Torn);
    ASSERT_TRUE(file.openAt(path, torn.goodEnd).value);
    const Bytes last(bytes.begin() + ends[1], bytes.end());
    ASSERT_TRUE(file.append({{last.data(), last.size()}}).value);
    EXPECT_EQ(readAll(path).records, records);
}

TEST(RecoveryFolder, ALockedFolderIsRunningUntilItsOwnerGoes) {
    TempDir dir;
    const std::string root = dir.file("state/recovery");
    EXPECT_TRUE(platform::RecoveryFolder::list(root).empty());
    auto owner = platform::RecoveryFolder::create(root).value;
    ASSERT_TRUE(owner);
    const std::string path = owner->path();
    for (const char* name : {"b.rec", "a.rec", ".c.part"}) {
        writeText(owner->file(name), name);
    }

    const auto held = platform::RecoveryFolder::take(path);
    EXPECT_FALSE(held.value);
    EXPECT_EQ(held.why(), "running");
    auto entries = platform::RecoveryFolder::list(root);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, path);
    EXPECT_EQ(entries[0].name, owner->name());
    EXPECT_TRUE(entries[0].running);

    owner.reset();
    EXPECT_FALSE(platform::RecoveryFolder::list(root)[0].running);
    auto taken = platform::RecoveryFolder::take(path).value;
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->files(), (std::vector<std::string>{"a.rec", "b.rec"}));
    EXPECT_TRUE(taken->remove());
    EXPECT_TRUE(listDir(root).empty());
}
