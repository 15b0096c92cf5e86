// Files opened by what they hold: from the command line, dropped on the windows, and the recent
// maps, on the headless window system.
#include <gtest/gtest.h>

#include <functional>

#include "app/core/Application.h"
#include "app/core/Menus.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "gfx/CNxSurface.h"
#include "map/MapFile.h"
#include "map/MapScreen.h"
#include "platform/Message.h"
#include "platform/ProfileFile.h"
#include "platform/headless/HeadlessHost.h"
#include "preview/PlayerFile.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace platform;
using namespace platform::headless;
using namespace testing_support;

namespace {

// Files of every kind, some named as another kind would be, some damaged.
struct Files {
    TempDir dir;
    Files() {
        screen_test::writeChipImage(dir.file("chips.bmp"), 256, 256);
        screen_test::writeChipImage(dir.file("chips-named.map"), 128, 128);  // an image
        MapGrid grid;
        grid.reset(7, 5);
        grid.setChip(2, 1, 9);
        for (const char* name : {"stage.map", "stage-named.png", "other.map"}) {
            std::string path = dir.file(name);
            MapFile::save(path, grid);  // forces .map: the one named .png is renamed below
        }
        std::rename(dir.file("stage-named.map").c_str(), dir.file("stage-named.png").c_str());
        KindTable kinds;
        kinds.resetToDefaults(3);
        KindRecord record = kinds.record(4);
        record.z = 77;
        kinds.setRecord(4, record);
        std::string knd = dir.file("attrs.knd");
        kinds.saveFile(knd);
        PlayerFile::Lists frames;
        PlayerFrame frame;
        frame.path = frame.displayName = dir.file("chips.bmp");
        frame.setDefaults(256, 256);
        frames[1] = {frame};
        PlayerFile::save(dir.file("hero.json"), frames);
        PngPicture png;
        png.width = png.height = 16;
        png.rows.assign(16, Bytes(16, 0x80));
        Bytes cut = encodePng(png);
        cut.resize(60);  // the header whole, the pixels cut short
        writeBytes(dir.file("cut.png"), cut);
        frame.path = frame.displayName = dir.file("cut.png");
        frames[1] = {frame};
        PlayerFile::save(dir.file("hero-cut.json"), frames);
        writeText(dir.file("broken.map"), "MAPB\x10\x00\x00\x00short");
        writeText(dir.file("notes.txt"), "no picture at all");
    }
    std::string operator()(const char* name) const { return dir.file(name); }
};

struct Editor {
    TempDir settings;
    HeadlessHost host;
    std::unique_ptr<Application> app;
    explicit Editor(const std::string& ini = "") {
        writeText(settings.file("Pelorin.ini"), ini);
        app = std::make_unique<Application>(
            host, SettingsLocation{settings.file("Pelorin.ini"), settings.file("Pelorin.ini"), {}});
    }
    MapScreen& map() { return *app->mapScreen(); }
    HeadlessWindow& window(const char* name) { return *host.window(name); }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const HeadlessHost::Box& box : host.boxes) {
            texts.push_back(box.title + ": " + box.text);
        }
        return texts;
    }
};

}  // namespace

TEST(OpenFiles, EachFileOpensAsWhatItHoldsWhateverItsName) {
    Files f;
    const struct {
        std::vector<const char*> files;
        const char* map;    // the current map afterwards ("" none)
        const char* chips;  // the current chip image
        bool kinds, frames;
        std::vector<std::string> boxes;
    } cases[] = {
        {{"stage.map"}, "stage.map", "", false, false, {}},
        {{"stage-named.png"}, "stage-named.png", "", false, false, {}},
        {{"chips-named.map"}, "", "chips-named.map", false, false, {}},
        // The map given first still finds the chip image given after it loaded.
        {{"stage.map", "chips.bmp", "attrs.knd", "hero.json"},
         "stage.map",
         "chips.bmp",
         true,
         true,
         {}},
        {{"notes.txt"}, "", "", false, false, {"画像読み込みエラー: 画像の読み込みに失敗しました"}},
        // The decoder's own message comes first, then the editor's.
        {{"cut.png"},
         "",
         "",
         false,
         false,
         {"libpng error: Read Error\n\nCNxFile Object:\n@cut.png",
          "画像読み込みエラー: 画像の読み込みに失敗しました"}},
        {{"hero-cut.json"},
         "",
         "",
         false,
         false,
         {"libpng error: Read Error\n\nCNxFile Object:\n@cut.png",
          "読み込みエラー: 次の画像を読み込めませんでした:\n@cut.png"}},
        {{"missing.map"},
         "",
         "",
         false,
         false,
         {"読み込みエラー: ファイルを開けません\n@missing.map"}},
        {{"broken.map", "stage.map"},
         "stage.map",
         "",
         false,
         false,
         {"マップ読み込みエラー: マップ配置データのＩＤが異なっています"}},
    };
    for (const auto& c : cases) {
        Editor e;
        std::vector<std::string> files;
        for (const char* name : c.files) {
            files.push_back(f(name));
        }
        ASSERT_TRUE(e.app->start(files));
        EXPECT_EQ(e.app->mapPath(), *c.map ? f(c.map) : "") << c.files[0];
        EXPECT_EQ(e.app->chipPath(), *c.chips ? f(c.chips) : "") << c.files[0];
        EXPECT_EQ(e.map().kindScreen()->table().record(4).z == 77, c.kinds) << c.files[0];
        EXPECT_EQ(e.app->workspace()->player().frames(1).size(), c.frames ? 1u : 0u) << c.files[0];
        std::vector<std::string> boxes = c.boxes;
        for (std::string& box : boxes) {
            if (box.find('@') != std::string::npos) {
                box.replace(box.find('@'), 1, f.dir.path() + "/");
            }
        }
        EXPECT_EQ(e.boxTexts(), boxes) << c.files[0];
        EXPECT_FALSE(e.app->hasEnded()) << "the editor starts all the same";
    }
}

TEST(OpenFiles, DropsOpenOnTheMapWindowAndImagesBecomeChipsOnTheChipWindow) {
    Files f;
    Editor e;
    ASSERT_TRUE(e.app->start());
    e.window("chipview").drop({f("chips-named.map")});
    EXPECT_EQ(e.app->chipPath(), f("chips-named.map"));
    e.window("mapeditor").drop({f("other.map"), f("chips.bmp")});
    EXPECT_EQ(e.app->mapPath(), f("other.map"));
    EXPECT_EQ(e.app->chipPath(), f("chips.bmp"));
    EXPECT_EQ(e.map().chipScreen()->chipImage()->GetWidth(), 256);
    e.window("kindview").drop({f("stage.map")});
    EXPECT_EQ(e.app->mapPath(), f("other.map")) << "the attribute window takes no drops";
}

TEST(OpenFiles, RecentMapsKeepTenNewestFirstWithTheirChipsAndForgetGoneFiles) {
    Files f;
    Editor e;
    ASSERT_TRUE(e.app->start({f("chips.bmp")}));
    // Twelve maps opened, one twice: ten stay, newest first, without the duplicate.
    std::vector<std::string> maps;
    for (int i = 0; i < 11; ++i) {
        maps.push_back(f.dir.file("m" + std::to_string(i) + ".map"));
        std::rename(i == 0 ? f("stage.map").c_str() : maps[i - 1].c_str(), maps[i].c_str());
        e.app->openFiles({maps[i]});
    }
    e.app->openFiles({maps[10]});
    ASSERT_EQ(e.app->recentMaps().size(), 10u);
    EXPECT_EQ(e.app->recentMaps()[0].map, maps[10]);
    EXPECT_EQ(e.app->recentMaps()[0].chips, f("chips.bmp"));
    const Menu& bar = e.window("mapeditor").spec().menuBar;
    const Menu& recent = bar[0].items[3].items;
    EXPECT_EQ(bar[0].items[3].text, "最近使ったマップ(&F)");
    EXPECT_EQ(recent[0].text, "&1 " + maps[10]);
    EXPECT_EQ(recent[0].id, command::RecentMap);
    EXPECT_EQ(recent.back().text, "一覧を消去");

    // The entry of a file that is gone says so and leaves the list; another brings its chips.
    e.app->openFiles({f("chips-named.map")});
    e.window("mapeditor").send(Message::command(command::RecentMap + 1));  // maps[9]: gone
    EXPECT_EQ(e.host.boxes.back().text,
              "マップファイルが見つかりません。一覧から外します。\n" + maps[9]);
    EXPECT_EQ(e.app->recentMaps().size(), 9u);
    e.window("mapeditor").send(Message::command(command::RecentMap));
    EXPECT_EQ(e.app->mapPath(), maps[10]);
    EXPECT_EQ(e.app->chipPath(), f("chips.bmp")) << "the chip image it was used with";

    // Kept in the settings, read back by the next start.
    e.host.answers.push_back(MessageAnswer::Ok);
    e.window("mapeditor").send(Message::plain(WM_CLOSE));
    Editor next(readText(e.settings.file("Pelorin.ini")));
    ASSERT_TRUE(next.app->start());
    ASSERT_EQ(next.app->recentMaps().size(), 9u);
    EXPECT_EQ(next.app->recentMaps()[0].map, maps[10]);
    next.window("mapeditor").send(Message::command(command::ClearRecent));
    EXPECT_TRUE(next.app->recentMaps().empty());
}

// The chip image rewritten by a paint program, in place or by a rename over it, shows at once
// with the chip size, cursor and history kept; a half-written one changes nothing until it is
// whole. A map file changed by another program is offered for reloading, once per change.
TEST(OpenFiles, ChangedFilesOnDiskShowOrAreOfferedForReloading) {
    Files f;
    Editor e;
    ASSERT_TRUE(e.app->start({f("chips.bmp"), f("stage.map")}));
    HeadlessWindow& owner = e.window("Parent");
    const auto tick = [&] { owner.fireTimer(Application::kWatchTimerId); };
    ASSERT_TRUE(owner.timers().count(Application::kWatchTimerId));
    e.map().put();
    ASSERT_TRUE(e.map().document().canUndo());
    const int boxes = static_cast<int>(e.host.boxes.size());

    // Rewritten in place, smaller: fewer chips, everything else as it was.
    screen_test::writeChipImage(f("chips.bmp"), 128, 96);
    tick();
    EXPECT_EQ(e.map().chipScreen()->chipCount(), 4 * 3);
    EXPECT_TRUE(e.map().document().canUndo()) << "the history stays";
    EXPECT_EQ(e.map().chipSize(), (platform::Size{32, 32}));
    // Caught half-written: the image in use stays, and nobody is told.
    const std::vector<std::uint8_t> whole = readBytes(f("chips-named.map"));
    writeBytes(f("chips.bmp"), std::vector<std::uint8_t>(whole.begin(), whole.begin() + 200));
    tick();
    EXPECT_EQ(e.map().chipScreen()->chipCount(), 4 * 3);
    // Saved as paint programs save: a new file renamed over the old one.
    screen_test::writeChipImage(f("new.bmp"), 256, 256);
    std::rename(f("new.bmp").c_str(), f("chips.bmp").c_str());
    tick();
    EXPECT_EQ(e.map().chipScreen()->chipCount(), 64);
    EXPECT_EQ(static_cast<int>(e.host.boxes.size()), boxes);

    // Saving is no change from another program; a change is, asked once.
    std::string saved = f("stage.map");
    e.host.fileAnswers.push_back({saved});
    e.window("mapeditor").send(Message::command(command::SaveMap));
    tick();
    EXPECT_EQ(static_cast<int>(e.host.boxes.size()), boxes);
    e.map().put();
    MapGrid other;
    other.reset(3, 3);
    MapFile::save(saved, other);
    e.host.answers.push_back(MessageAnswer::No);
    tick();
    tick();
    ASSERT_EQ(static_cast<int>(e.host.boxes.size()), boxes + 1);
    EXPECT_EQ(e.host.boxes.back().text,
              "マップファイルが他のプログラムで変更されました。再読み込みしますか？");
    EXPECT_EQ(e.host.boxes.back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(e.map().document().grid().columns(), 7) << "No keeps the edits";
    other.reset(4, 4);
    MapFile::save(saved, other);
    e.host.answers.push_back(MessageAnswer::Yes);
    tick();
    EXPECT_EQ(e.map().document().grid().columns(), 4);
    EXPECT_FALSE(e.map().document().isModified());
}

// Loading and saving say they are busy and how far they are, so that a window can show it.
TEST(OpenFiles, LoadingAndSavingReportTheirProgress) {
    Files f;
    Editor e;
    ASSERT_TRUE(e.app->start({f("stage.map")}));
    EXPECT_EQ(e.host.busy, (std::vector<std::string>{"begin マップを読み込んでいます…", "end"}));
    EXPECT_EQ(e.host.busyTotal, 2u * 7 * 5 * 4) << "both layers";
    EXPECT_EQ(e.host.busyDone, e.host.busyTotal);
    e.host.fileAnswers.push_back({f("saved.map")});
    e.window("mapeditor").send(Message::command(command::SaveMap));
    EXPECT_EQ(e.host.busy.size(), 4u);
    EXPECT_EQ(e.host.busy[2], "begin マップを保存しています…");
    EXPECT_EQ(e.host.busyDone, e.host.busyTotal);
    EXPECT_EQ(e.host.busyTotal, readBytes(f("saved.map")).size());
}
