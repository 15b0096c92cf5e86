// pelorin-tool player: the summary of a saved definition and its exit status.
#include <gtest/gtest.h>

#include "preview/PlayerFile.h"
#include "tests/support/ImageWriters.h"
#include "tests/tools/ToolRunner.h"

using testing_support::TempDir;
using testing_support::tool;

TEST(PlayerCommand, SummarisesEachActionAndFailsOnAnImageItCannotRead) {
    TempDir dir;
    testing_support::BmpPicture bmp;
    bmp.pixels = {0, 0, 0, 0};
    testing_support::writeBytes(dir.file("one.bmp"), testing_support::encodeBmp(bmp));
    PlayerFile::Lists lists;
    PlayerFrame frame;
    frame.path = frame.displayName = dir.file("one.bmp");
    lists[0] = {frame, frame};
    lists[0][1].displayTime = 250;
    frame.path = dir.file("gone.bmp");
    lists[4] = {frame};
    ASSERT_TRUE(PlayerFile::save(dir.file("p.json"), lists).value);

    const auto run = tool(dir, {"player", dir.file("p.json")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "立ち: 2 frames, 350 ms\n歩き: 0 frames, 0 ms\nジャンプ: 0 frames, 0 ms\n"
              "落下: 0 frames, 0 ms\nダメージ: 1 frames, 100 ms\n死亡: 0 frames, 0 ms\n"
              "攻撃: 0 frames, 0 ms\n");
    EXPECT_EQ(run.err,
              "pelorin-tool: ダメージ frame 1: cannot read image " + dir.file("gone.bmp") + "\n");

    lists[4].clear();
    ASSERT_TRUE(PlayerFile::save(dir.file("p.json"), lists).value);
    EXPECT_EQ(tool(dir, {"player", dir.file("p.json")}).status, 0);
    testing_support::writeText(dir.file("p.json"), "{");
    const auto bad = tool(dir, {"player", dir.file("p.json")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "pelorin-tool: " + dir.file("p.json") + ": JSON として読めません\n");
}
