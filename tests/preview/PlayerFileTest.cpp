// A frames file opened for use: the frames as the file holds them, the readable ones with their
// images and their rectangles within them, and each image that cannot be read named once.
#include "preview/PlayerFile.h"

#include <gtest/gtest.h>

#include "gfx/CNxSurface.h"
#include "tests/preview/PreviewTestSupport.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

TEST(PlayerFile, OpenGivesWhatTheFileHoldsTheReadableFramesAndEachUnreadableImageOnce) {
    TempDir dir;
    BmpPicture bmp;
    bmp.width = 4;
    bmp.height = 3;
    bmp.pixels = bottomUpRows(std::vector<Bytes>(3, Bytes(4 * 3, 0x40)));
    writeBytes(dir.file("a.bmp"), encodeBmp(bmp));
    PlayerFile::Lists lists;
    for (int action : {0, 6}) {
        PlayerFrame a = preview_testing::frame(dir.file("a.bmp"), 100);
        a.sourceRect = RECT{1, 0, 9, 9};
        lists[action].push_back(a);
        lists[action].push_back(preview_testing::frame(dir.file("gone.bmp"), 200));
    }
    ASSERT_TRUE(PlayerFile::save(dir.file("p.json"), lists).value);

    PlayerDefinition::ImageCache cache;
    PlayerFile::Opened opened;
    ASSERT_TRUE(PlayerFile::open(dir.file("p.json"), cache, opened).value);
    EXPECT_EQ(PlayerDefinition::fingerprint(opened.stored), PlayerDefinition::fingerprint(lists));
    EXPECT_EQ(opened.unreadable, std::vector<std::string>{dir.file("gone.bmp")});
    ASSERT_EQ(opened.frames[0].size(), 1u);
    ASSERT_EQ(opened.frames[6].size(), 1u);
    EXPECT_EQ(opened.frames[0][0].image, opened.frames[6][0].image) << "decoded once";
    EXPECT_EQ(opened.frames[0][0].image->GetWidth(), 4);
    const RECT r = opened.frames[0][0].sourceRect;
    EXPECT_EQ((std::vector<std::int32_t>{r.left, r.top, r.right, r.bottom}),
              (std::vector<std::int32_t>{1, 0, 3, 2}))
        << "within the image";
    EXPECT_EQ(PlayerFile::asLines(opened.unreadable), "\n" + dir.file("gone.bmp"));

    // A file that holds no definition leaves what was opened before as it was.
    writeText(dir.file("bad.json"), R"({"pelorinPlayer": 2})");
    const platform::Outcome<bool> bad = PlayerFile::open(dir.file("bad.json"), cache, opened);
    EXPECT_FALSE(bad.value);
    EXPECT_EQ(bad.why(), "プレイヤー定義のファイル (pelorinPlayer: 1) ではありません");
    EXPECT_EQ(opened.frames[0].size(), 1u);
    EXPECT_EQ(opened.unreadable.size(), 1u);
}
