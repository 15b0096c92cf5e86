#include "platform/FileIo.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

bool save(const std::string& path, const std::string& text, std::string* error = nullptr) {
    const platform::Outcome<bool> written =
        platform::writeFileAtomically(path, {{text.data(), text.size()}});
    if (error != nullptr) {
        *error = written.why();
    }
    return written.value;
}

mode_t modeOf(const std::string& path) {
    struct stat st;
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Lowers the largest file this process may write, as a full disk would stop it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old;
    sighandler_t m_oldHandler;
};

}  // namespace

TEST(AtomicWrite, WritesThePiecesBackToBackWithTheUsualMode) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    const char a[] = "head";
    const char b[] = "tail";
    ASSERT_TRUE(platform::writeFileAtomically(path, {{a, 4}, {nullptr, 0}, {b, 4}}).value);
    EXPECT_EQ(readText(path), "headtail");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(modeOf(path), 0666 & ~mask);
    EXPECT_EQ(listDir(dir.path()).size(), 1u) << "no temporary file is left behind";
}

TEST(AtomicWrite, ReplacingKeepsTheFilesModeAndFollowsLinks) {
    TempDir dir;
    const std::string real = dir.file("real.map");
    const std::string link = dir.file("link.map");
    writeText(real, "old");
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);

    ASSERT_TRUE(save(link, "new contents"));
    EXPECT_EQ(readText(real), "new contents");
    EXPECT_EQ(modeOf(real), 0640u);
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
}

TEST(AtomicWrite, FailuresLeaveTheOldFileAsItWas) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(save(dir.file("missing/folder/x.map"), "data", &error));
    EXPECT_NE(error.find("missing/folder"), std::string::npos) << error;

    writeText(dir.file("afile"), "i am a file");
    EXPECT_FALSE(save(dir.file("afile/x.map"), "data"));
    EXPECT_EQ(readText(dir.file("afile")), "i am a file");

    ::mkdir(dir.file("adir").c_str(), 0755);
    EXPECT_FALSE(save(dir.file("adir"), "data"));
}

TEST(AtomicWrite, ADiskThatFillsUpMidwayLeavesTheOldFileByteForByte) {
    TempDir dir;
    const std::string path = dir.file("precious.map");
    const std::string old(3000, 'o');
    writeText(path, old);
    const std::string big(100000, 'n');
    std::string error;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(save(path, big, &error));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readText(path), old);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"precious.map"});
}

// Both forms, into bytes and into text, read the same and refuse the same; what they read or ""
// goes to out. Whatever they refuse leaves them empty.
bool readBoth(const std::string& path, std::uint64_t maxBytes, std::string& out) {
    platform::FileBytes bytes;
    std::string text = "before";
    const bool ok = platform::readWholeFile(path, bytes, maxBytes);
    EXPECT_EQ(platform::readWholeFile(path, text, maxBytes), ok) << path;
    out.assign(reinterpret_cast<const char*>(bytes.data.get()), bytes.size);
    EXPECT_EQ(text, out) << path;
    return ok;
}

TEST(ReadWholeFile, ReadsRegularFilesAndPipesAndRefusesTheRest) {
    TempDir dir;
    std::string read;
    writeText(dir.file("a"), std::string("x\0y", 3));
    ASSERT_TRUE(readBoth(dir.file("a"), 100, read));
    EXPECT_EQ(read, std::string("x\0y", 3));

    writeText(dir.file("empty"), "");
    ASSERT_TRUE(readBoth(dir.file("empty"), 100, read));
    EXPECT_EQ(read.size(), 0u);

    EXPECT_FALSE(readBoth(dir.file("a"), 2, read)) << "larger than allowed";
    EXPECT_FALSE(readBoth(dir.file("nothing"), 100, read));
    EXPECT_FALSE(readBoth(dir.path(), 100, read)) << "a folder";
    EXPECT_EQ(read.size(), 0u);

    // A pipe, as a script given as /dev/stdin is, is read to its end by either form.
    for (int form = 0; form < 2; ++form) {
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        ASSERT_EQ(::write(ends[1], "piped", 5), 5);
        ::close(ends[1]);
        const std::string path = "/proc/self/fd/" + std::to_string(ends[0]);
        platform::FileBytes bytes;
        std::string text;
        EXPECT_TRUE(form == 0 ? platform::readWholeFile(path, bytes, 100)
                              : platform::readWholeFile(path, text, 100));
        EXPECT_EQ(
            form == 0 ? std::string(reinterpret_cast<char*>(bytes.data.get()), bytes.size) : text,
            "piped");
        ::close(ends[0]);
    }
}
