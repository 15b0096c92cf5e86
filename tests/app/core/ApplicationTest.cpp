#include "app/core/Application.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/core/Menus.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "map/ReplaceDialog.h"
#include "platform/Message.h"
#include "platform/ProfileFile.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace platform;
using namespace platform::headless;
using namespace testing_support;

namespace {

const char kNewMapTitle[] =
    "Pelorin  マップ位置:(0,0) 視点座標:(0,0) チップ総数:(横40個,縦40行) 選択範囲:(-1:-1～-1:-1)";

// An editor started on the fake window system with its settings file in a folder of its own.
struct Editor {
    TempDir dir;
    HeadlessHost host;
    std::unique_ptr<Application> app;

    explicit Editor(const std::string& settings = "") {
        if (!settings.empty()) {
            writeText(ini(), settings);
        }
        app = std::make_unique<Application>(host, SettingsLocation{ini(), ini(), {}});
    }
    std::string ini() const { return dir.file("Pelorin.ini"); }
    HeadlessWindow& window(const char* className) { return *host.window(className); }
    HeadlessWindow& map() { return window("mapeditor"); }
    MapScreen& screen() { return *app->mapScreen(); }
    // A 256 × 256 chip sheet in the settings folder.
    std::string chipSheet() {
        BmpPicture bmp;
        bmp.width = 256;
        bmp.height = 256;
        std::vector<Bytes> rows(256, Bytes(256 * 3, 0x40));
        bmp.pixels = bottomUpRows(rows);
        writeBytes(dir.file("chips.bmp"), encodeBmp(bmp));
        return dir.file("chips.bmp");
    }
    int fronted(const char* className) {
        const auto& log = window(className).log;
        return static_cast<int>(std::count(log.begin(), log.end(), "bringToFront"));
    }
};

}  // namespace

TEST(Application, StartsWithItsDefaultsWithoutASettingsFile) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    std::vector<std::string> classes;
    for (HeadlessWindow* w : e.host.windows()) {
        classes.push_back(w->spec().className);
    }
    EXPECT_EQ(classes,
              (std::vector<std::string>{"Parent", "mapeditor", "kindview", "chipview", "preview"}));
    EXPECT_TRUE(e.host.boxes.empty());
    EXPECT_EQ(e.map().title(), kNewMapTitle);
    EXPECT_EQ(e.map().clientSize(), (Size{800, 600}));
    EXPECT_FALSE(e.map().spec().menuBar.empty());
    EXPECT_EQ(e.window("chipview").clientSize(), (Size{800, 600}));
    EXPECT_EQ(e.window("kindview").clientSize(), (Size{800, 128}));
    EXPECT_TRUE(e.window("chipview").spec().toolWindow);
    EXPECT_EQ(e.window("chipview").spec().owner, e.app->ownerWindow());
    EXPECT_FALSE(e.window("preview").isVisible());
    EXPECT_FALSE(e.window("Parent").isVisible());
    EXPECT_EQ(e.window("kindview").outerRect().top, e.map().outerRect().bottom)
        << "the attribute window starts below the map window";
    EXPECT_TRUE(e.screen().isGridShown());
    EXPECT_FALSE(e.screen().areScrollBarsShown());
    EXPECT_FALSE(e.screen().chipScreen()->isLoaded());
}

TEST(Application, ComposedTitlesAndMessagesAreTranslatedBeforeTheirNumbersGoIn) {
    Editor e;
    e.host.dictionary = {
        {"Pelorin  マップ位置:(%d,%d) 視点座標:(%d,%d) チップ総数:(横%d個,縦%d行) "
         "選択範囲:(%d:%d～%d:%d)",
         "Pelorin  cursor:(%d,%d) view:(%d,%d) map:(%d columns, %d rows) selection:(%d:%d to "
         "%d:%d)"},
        {"不正な値が指定されました。キャンバスの横サイズは1～%dの範囲内に納めて下さい。",
         "Invalid value. The canvas width must be 1 to %d."},
        {"Pelorin  属性%d番", "Pelorin  attribute %d"},
        {" Z座標:%d", " Z:%d"},
    };
    ASSERT_TRUE(e.app->start());
    EXPECT_EQ(
        e.map().title(),
        "Pelorin  cursor:(0,0) view:(0,0) map:(40 columns, 40 rows) selection:(-1:-1 to -1:-1)");
    const std::string kinds = e.window("kindview").title();
    EXPECT_EQ(kinds.rfind("Pelorin  attribute 0 [", 0), 0u) << kinds;
    EXPECT_EQ(kinds.substr(kinds.size() - 4), " Z:0") << kinds;
    EXPECT_FALSE(e.screen().setCanvasSize(6000, 40));
    ASSERT_EQ(e.host.boxes.size(), 1u);
    EXPECT_EQ(e.host.boxes[0].text, "Invalid value. The canvas width must be 1 to 5000.");
    // A whole text reaches the window system as it is, which translates it on the way in.
    EXPECT_EQ(e.host.boxes[0].title, "キャンバスサイズ変更エラー");
}

TEST(Application, EachStartupFailureSaysWhatFailed) {
    const struct {
        const char* refused;
        const char* text;
        bool ownedByMap;
    } cases[] = {
        {"Parent", "親ウィンドウの作成に失敗しました", false},
        {"mapeditor", "マップウィンドウの作成に失敗しました", false},
        {"kindview", "チップ属性ウィンドウの作成に失敗しました", true},
        {"chipview", "チップウィンドウの作成に失敗しました", true},
        {"preview", "プレビューウィンドウの作成に失敗しました", true},
    };
    for (const auto& c : cases) {
        Editor e;
        e.host.refusedClasses.insert(c.refused);
        e.host.answers.push_back(MessageAnswer::Ok);
        EXPECT_FALSE(e.app->start()) << c.refused;
        ASSERT_EQ(e.host.boxes.size(), 1u) << c.refused;
        EXPECT_EQ(e.host.boxes[0].text, c.text);
        EXPECT_EQ(e.host.boxes[0].title, "起動エラー");
        EXPECT_EQ(e.host.boxes[0].owner != nullptr, c.ownedByMap) << c.refused;
        EXPECT_TRUE(e.app->mapScreen() == nullptr);
        EXPECT_TRUE(e.host.windows().empty()) << "everything made is taken down again";
    }
}

TEST(Application, AppliesTheSettingsFile) {
    Editor e;
    const std::string sheet = e.chipSheet();
    writeText(e.ini(),
              "[MapInfo]\nwindw=1281\nwindh=480\ngrid=0\nscrbar=1\ngrid_red=300\n"
              "[ChipInfo]\npath=" +
                  sheet +
                  "\nchipw=48\nchiph=24\nwindw=640\nwindh=400\n"
                  "[KindInfo]\npath=" +
                  e.dir.file("gone.knd") + "\ngrid=0\n");
    ASSERT_TRUE(e.app->start());
    EXPECT_EQ(e.map().clientSize(), (Size{800, 480})) << "1281 is out of range";
    EXPECT_FALSE(e.screen().isGridShown());
    EXPECT_EQ(e.screen().colours().grid, 0xFF2C0000u);
    EXPECT_TRUE(e.screen().chipScreen()->isLoaded());
    EXPECT_EQ(e.screen().chipSize(), (Size{48, 24})) << "applied once the chip image is in";
    EXPECT_EQ(e.window("chipview").clientSize(), (Size{640, 256}))
        << "the chip window fits the image, but not below 320 wide";
    EXPECT_FALSE(e.screen().kindScreen()->isGridShown());
    EXPECT_FALSE(e.screen().kindScreen()->isFileLoaded()) << "a vanished path is forgotten";
    EXPECT_EQ(e.map().title(), kNewMapTitle) << "no map path: a new 40 × 40 map";
}

TEST(Application, ClosingAsksAndEndingWritesTheSettings) {
    Editor e("[Other]\nkept=1\n[KindInfo]\npath=/old/attr.knd\n");
    ASSERT_TRUE(e.app->start());
    e.host.answers = {MessageAnswer::Cancel};
    e.map().send(Message::plain(WM_CLOSE));
    ASSERT_EQ(e.host.boxes.size(), 1u);
    EXPECT_EQ(e.host.boxes[0].text, "終了しますか？");
    EXPECT_EQ(e.host.boxes[0].title, "確認");
    EXPECT_EQ(e.host.boxes[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(e.host.boxes[0].icon, MessageIcon::Question);
    EXPECT_FALSE(e.app->hasEnded()) << "Cancel keeps the editor running";
    EXPECT_FALSE(exists(e.ini()) && readText(e.ini()).find("windw") != std::string::npos);

    e.screen().toggleGrid();
    e.host.answers = {MessageAnswer::Ok};
    e.map().send(Message::command(command::Exit));
    EXPECT_TRUE(e.app->hasEnded());
    EXPECT_EQ(e.host.quitCode, 0);
    platform::ProfileFile written(e.ini());
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.getString("MapInfo", "windw", ""), "800");
    EXPECT_EQ(written.getString("MapInfo", "grid", ""), "0");
    EXPECT_EQ(written.getString("MapInfo", "path", "none"), "none") << "a new map has no file";
    EXPECT_EQ(written.getString("ChipInfo", "chipw", ""), "32");
    EXPECT_EQ(written.getString("KindInfo", "path", ""), "/old/attr.knd")
        << "no attribute file was loaded: the old path stays";
    EXPECT_EQ(written.getString("Other", "kept", ""), "1");
    EXPECT_EQ(written.getString("KindInfo", "cur_red", ""), "255");
}

TEST(Application, AKeyReleaseActsOnlyInTheWindowThatGotItsPress) {
    auto press = [](HeadlessWindow& w, int key) {
        w.send(Message::keyDown(key));
        w.send(Message::keyUp(key));
    };
    const struct {
        const char* what;
        std::function<void(Editor&)> act;
        bool chipPut, mapGrid, chipGrid;
    } cases[] = {
        {"grid chosen with the mouse, then Enter",
         [&](Editor& e) {
             e.map().send(Message::command(command::ToggleGrid));
             press(e.map(), VK_RETURN);
         },
         true, false, true},
        {"grid chosen from the menu with G: G's release",
         [](Editor& e) {
             e.map().send(Message::command(command::ToggleGrid));
             e.map().send(Message::keyUp('G'));
         },
         false, false, true},
        {"Enter that closes the box Shift+Delete raised",
         [&](Editor& e) {
             e.screen().setCanvasSize(40, 1);  // the last row cannot go
             e.host.setKeyDown(VK_SHIFT);
             press(e.map(), VK_DELETE);
             e.host.setKeyDown(VK_SHIFT, false);
             ASSERT_EQ(e.host.boxes.size(), 1u);
             e.map().send(Message::keyUp(VK_RETURN));
         },
         false, true, true},
        {"grid chosen with G in the chip popup",
         [](Editor& e) {
             e.host.menuAnswers.push_back(command::ChipGrid);
             e.window("chipview").send(Message::keyDown(VK_APPS));
             e.window("chipview").send(Message::keyUp('G'));
         },
         false, true, false},
        {"Enter pressed before the focus went away and came back",
         [](Editor& e) {
             e.map().send(Message::keyDown(VK_RETURN));
             e.map().send(Message::activate(WA_INACTIVE, false));
             e.map().send(Message::activate(WA_ACTIVE, false));
             e.map().send(Message::keyUp(VK_RETURN));
         },
         false, true, true},
    };
    for (const auto& c : cases) {
        Editor e;
        writeText(e.ini(), "[ChipInfo]\npath=" + e.chipSheet() + "\n");  // keys need chips
        ASSERT_TRUE(e.app->start());
        c.act(e);
        EXPECT_EQ(e.screen().document().grid().chip(0, 0) != -1, c.chipPut) << c.what;
        EXPECT_EQ(e.screen().isGridShown(), c.mapGrid) << c.what;
        EXPECT_EQ(e.screen().chipScreen()->isGridShown(), c.chipGrid) << c.what;
    }
}

// xdotool key ctrl+z sends Ctrl down, Z down, Ctrl up, Z up, as a fast typist does: a key
// that acts on its release acts with the modifiers held at its press.
TEST(Application, AReleasedKeyActsWithTheModifiersHeldAtItsPress) {
    const struct {
        const char* window;
        int modifier, key;
        std::function<void(Editor&)> before;
        std::function<std::string(Editor&)> state;  // before, then after the chord
        std::string was, is;
    } cases[] = {
        {"mapeditor", VK_CONTROL, 'Z', [](Editor& e) { e.screen().put(); },
         [](Editor& e) { return std::to_string(e.screen().document().grid().chip(0, 0)); }, "0",
         "-1"},
        {"mapeditor", VK_CONTROL, 'Y',
         [](Editor& e) {
             e.screen().put();
             e.screen().undo();
         },
         [](Editor& e) { return std::to_string(e.screen().document().grid().chip(0, 0)); }, "-1",
         "0"},
        {"mapeditor", VK_SHIFT, VK_INSERT, nullptr,
         [](Editor& e) { return std::to_string(e.screen().document().grid().rows()); }, "40", "41"},
        {"mapeditor", VK_CONTROL, VK_DELETE, nullptr,
         [](Editor& e) { return std::to_string(e.screen().document().grid().columns()); }, "40",
         "39"},
        {"mapeditor", VK_CONTROL, VK_END, nullptr,
         [](Editor& e) { return std::to_string(e.screen().cursorRow()); }, "0", "39"},
        {"chipview", VK_CONTROL, VK_END, nullptr,
         [](Editor& e) { return std::to_string(e.screen().chipScreen()->cursorRow()); }, "0", "7"},
    };
    for (const auto& c : cases) {
        Editor e;
        writeText(e.ini(), "[ChipInfo]\npath=" + e.chipSheet() + "\n");  // keys need chips
        ASSERT_TRUE(e.app->start());
        if (c.before) {
            c.before(e);
        }
        EXPECT_EQ(c.state(e), c.was) << c.window << " " << c.key;
        HeadlessWindow& w = e.window(c.window);
        e.host.setKeyDown(c.modifier);
        w.send(Message::keyDown(c.key));
        e.host.setKeyDown(c.modifier, false);
        w.send(Message::keyUp(c.key));
        EXPECT_EQ(c.state(e), c.is) << c.window << " " << c.key;
    }
}

TEST(Application, FocusPassesAlongTheWindowsWithW) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    e.map().send(Message::keyDown('W'));
    EXPECT_EQ(e.fronted("chipview"), 1);
    e.window("chipview").send(Message::keyDown('W'));
    EXPECT_EQ(e.fronted("kindview"), 1);
    e.window("kindview").send(Message::keyDown('W'));
    EXPECT_EQ(e.fronted("mapeditor"), 1) << "the preview is hidden";
    e.window("preview").setVisible(true);
    e.window("kindview").send(Message::keyDown('W'));
    EXPECT_EQ(e.fronted("preview"), 1);
    e.window("preview").send(Message::keyDown('W'));
    EXPECT_EQ(e.fronted("chipview"), 2);

    // Wheel and middle button in the attribute window.
    e.window("kindview").send(Message::wheel(-WHEEL_DELTA, 5, 5, 0));
    EXPECT_EQ(e.fronted("chipview"), 3) << "towards the user: the chip window";
    e.window("kindview").send(Message::wheel(WHEEL_DELTA, 5, 5, 0));
    EXPECT_EQ(e.fronted("preview"), 2) << "away: the preview, being visible";
    e.window("kindview").send(Message::mouse(WM_MBUTTONDOWN, 5, 5, MK_MBUTTON));
    EXPECT_EQ(e.fronted("chipview"), 4);
    e.map().send(Message::mouse(WM_MBUTTONDOWN, 5, 5, MK_MBUTTON));
    EXPECT_EQ(e.fronted("kindview"), 2);
}

TEST(Application, MinimisingTheMapWindowHidesTheToolWindows) {
    for (const bool duringStartUp : {false, true}) {
        Editor e;
        if (duringStartUp) {
            e.host.meanwhile = [&] {
                if (HeadlessWindow* map = e.host.window("mapeditor")) {
                    map->userMinimise();
                }
            };
        }
        ASSERT_TRUE(e.app->start());
        e.map().userMinimise();
        EXPECT_FALSE(e.window("chipview").isVisible());
        EXPECT_FALSE(e.window("kindview").isVisible());
        e.map().showNormal();
        EXPECT_TRUE(e.window("chipview").isVisible());
        EXPECT_TRUE(e.window("kindview").isVisible());
    }
}

namespace {

// Much of what a user or the window system may send, to every window there is.
void stir(HeadlessHost& host) {
    const std::vector<HeadlessWindow*> windows = host.windows();
    for (HeadlessWindow* w : windows) {
        const auto& live = host.windows();
        if (std::find(live.begin(), live.end(), w) == live.end()) {
            continue;
        }
        w->userMinimise();
        w->showNormal();
        for (const Message& m :
             {Message::activate(WA_ACTIVE, false), Message::move(5, 5), Message::keyDown('W'),
              Message::keyDown(VK_APPS), Message::keyDown(VK_RETURN), Message::keyUp(VK_RETURN),
              Message::mouse(WM_MBUTTONDOWN, 1, 1, MK_MBUTTON),
              Message::mouse(WM_RBUTTONUP, 1, 1, 0), Message::wheel(WHEEL_DELTA, 1, 1, 0),
              Message::wheel(-WHEEL_DELTA, 1, 1, 0), Message::plain(WM_INITMENU),
              Message::command(command::LoadKinds), Message::command(command::ToggleLink),
              Message::plain(WM_CLOSE), Message::command(command::Exit)}) {
            w->send(m);
        }
    }
}

}  // namespace

TEST(Application, WhatWindowsReceiveDuringStartUpOrAfterTheEndIsSafe) {
    for (const char* refused : {"", "kindview", "chipview", "preview"}) {
        Editor e;
        writeText(e.dir.file("broken.map"), "not a map");  // a load error box during start-up
        writeText(e.ini(), "[MapInfo]\npath=" + e.dir.file("broken.map") + "\n");
        e.host.refusedClasses.insert(refused);
        e.host.meanwhile = [&] { stir(e.host); };
        ASSERT_EQ(e.app->start(), *refused == '\0') << refused;
        EXPECT_FALSE(e.app->hasEnded()) << refused;
        e.host.meanwhile = nullptr;
        if (e.app->mapScreen() != nullptr) {
            e.map().send(Message::command(command::Exit));
            EXPECT_TRUE(e.app->hasEnded());
            stir(e.host);
        }
    }
}

TEST(Application, MenuStateFollowsTheEditor) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    auto state = [&](int id) {
        e.map().send(Message::plain(WM_INITMENU));
        return e.map().menuItemStates().at(id);
    };
    EXPECT_FALSE(state(command::ReloadMap).enabled) << "a new map has no file";
    EXPECT_TRUE(state(command::SaveMap).enabled);
    EXPECT_FALSE(state(command::Paste).enabled);
    EXPECT_FALSE(state(command::Undo).enabled);
    EXPECT_FALSE(state(command::Redo).enabled);
    EXPECT_FALSE(state(command::Replace).enabled) << "no chip image";
    EXPECT_TRUE(state(command::Settings).enabled);
    EXPECT_TRUE(state(command::ToggleGrid).checked);
    EXPECT_FALSE(state(command::ToggleAttributeView).checked);

    e.host.fileAnswers.push_back({e.dir.file("saved")});
    e.map().send(Message::command(command::SaveMap));
    EXPECT_TRUE(exists(e.dir.file("saved.map")));
    EXPECT_EQ(e.app->mapPath(), e.dir.file("saved.map"));
    EXPECT_TRUE(state(command::ReloadMap).enabled) << "saved: the map has a file now";
    EXPECT_EQ(e.host.fileChoosers.back().request.title, "ファイル選択");
    EXPECT_EQ(e.host.fileChoosers.back().request.filters[0].description, "MAP Files (*.map)");

    e.map().send(Message::command(command::ToggleAttributeView));
    EXPECT_TRUE(state(command::ToggleAttributeView).checked);
}

TEST(Application, NewAndReloadAskFirst) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    e.host.answers = {MessageAnswer::No};
    e.map().send(Message::command(command::NewMap));
    ASSERT_EQ(e.host.boxes.size(), 1u);
    EXPECT_EQ(e.host.boxes[0].text,
              "マップを新規作成します。作業中の内容は失われますが、よろしいですか？");
    EXPECT_EQ(e.host.boxes[0].buttons, MessageButtons::YesNo);

    e.host.fileAnswers.push_back({e.dir.file("a.map")});
    e.map().send(Message::command(command::SaveMap));
    e.screen().insertOrDeleteLines(false, true, false);  // an edit: one more row
    e.host.answers = {MessageAnswer::No};
    e.map().send(Message::command(command::ReloadMap));
    EXPECT_EQ(e.host.boxes.back().text,
              "マップの再読み込みをします。作業中の内容は失われますが、よろしいですか？");
    EXPECT_EQ(e.screen().document().grid().rows(), 41) << "No keeps the edit";
    e.host.answers = {MessageAnswer::Yes};
    e.map().send(Message::command(command::ReloadMap));
    EXPECT_EQ(e.screen().document().grid().rows(), 40);
}

TEST(Application, ARightClickOpensThePopupButARightDragDoesNot) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    e.map().send(Message::mouse(WM_RBUTTONDOWN, 100, 100, MK_RBUTTON));
    EXPECT_EQ(e.map().pointerShape(), PointerShape::SizeAll);
    e.map().send(Message::mouse(WM_RBUTTONUP, 100, 100, 0));
    EXPECT_EQ(e.map().pointerShape(), PointerShape::Arrow);
    ASSERT_EQ(e.host.menus.size(), 1u);
    EXPECT_EQ(e.host.menus[0].menu.front().text, "コピー(&C)　Ctrl+C");
    EXPECT_EQ(e.host.menus[0].at, (Point{100, 100}));

    e.map().send(Message::mouse(WM_RBUTTONDOWN, 300, 300, MK_RBUTTON));
    e.map().send(Message::mouse(WM_MOUSEMOVE, 200, 300, MK_RBUTTON));  // pans 8 cells
    e.map().send(Message::mouse(WM_RBUTTONUP, 200, 300, 0));
    EXPECT_EQ(e.host.menus.size(), 1u) << "the view moved: no popup";
    EXPECT_NE(e.screen().viewPosition().x, 0);

    // The Application key opens it at the window's top left; a choice is carried out.
    e.host.menuAnswers.push_back(command::ToggleGrid);
    e.map().send(Message::keyDown(VK_APPS));
    EXPECT_EQ(e.host.menus.back().at, (Point{0, 0}));
    EXPECT_FALSE(e.screen().isGridShown());
}

TEST(Application, AChipImageThatCannotBeLoadedIsReported) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    writeText(e.dir.file("bad.png"), "not a picture");
    e.host.fileAnswers.push_back({e.dir.file("bad.png")});
    e.map().send(Message::command(command::LoadChips));
    ASSERT_EQ(e.host.boxes.size(), 1u);
    EXPECT_EQ(e.host.boxes[0].text, "画像の読み込みに失敗しました");
    EXPECT_EQ(e.host.boxes[0].title, "画像読み込みエラー");
    EXPECT_EQ(e.host.boxes[0].owner, e.app->mapWindow());
    EXPECT_EQ(e.app->chipPath(), "");

    e.host.fileAnswers.push_back({e.chipSheet()});
    e.map().send(Message::command(command::LoadChips));
    EXPECT_TRUE(e.screen().chipScreen()->isLoaded());
    EXPECT_EQ(e.app->chipPath(), e.dir.file("chips.bmp"));
}

TEST(Application, ReplaceOpensItsDialogOnlyForAFileBackedMapWithChips) {
    Editor e;
    writeText(e.ini(), "[ChipInfo]\npath=" + e.chipSheet() + "\n");
    ASSERT_TRUE(e.app->start());
    e.map().send(Message::command(command::Replace));
    EXPECT_TRUE(e.host.dialogs.empty()) << "a new map has no file yet";

    e.host.fileAnswers.push_back({e.dir.file("r.map")});
    e.map().send(Message::command(command::SaveMap));
    // Chip −1 (every empty cell) becomes attribute 7: "チップ" −1 cannot be typed (the range
    // starts at 0), so chip 0 is put first and replaced.
    e.screen().put();
    e.host.dialogScripts.push_back([](ScriptedDialog& d) {
        d.type(ReplaceDialog::kSourceNumberId, "0");
        d.choose(ReplaceDialog::kTargetKindId, ReplaceDialog::kAttributeKind);
        d.type(ReplaceDialog::kTargetNumberId, "7");
        d.click(Dialog::kOkId);
    });
    e.app->idleStep();
    const std::uint32_t before = e.map().pixel(4, 4);
    std::uint32_t duringBox = before;
    e.host.meanwhile = [&] { duringBox = e.map().pixel(4, 4); };
    e.map().send(Message::command(command::Replace));
    e.host.meanwhile = nullptr;
    e.app->idleStep();
    EXPECT_NE(e.map().pixel(4, 4), before);
    EXPECT_EQ(duringBox, e.map().pixel(4, 4)) << "the replaced cells are on screen behind the box";
    ASSERT_EQ(e.host.dialogs.size(), 1u);
    EXPECT_EQ(e.host.dialogs[0].title, "チップの置換");
    EXPECT_EQ(e.host.dialogs[0].owner, e.app->mapWindow());
    EXPECT_EQ(e.screen().document().grid().kind(0, 0), 7);
    EXPECT_EQ(e.screen().document().grid().kind(1, 0), 0);
    EXPECT_EQ(e.screen().editLayer(), 1) << "the view shows the layer replaced into";
    EXPECT_EQ(e.host.boxes.back().text, "1個置換しました");
}

TEST(Application, AFileThatFailsToLoadDoesNotBecomeCurrent) {
    Editor e;
    ASSERT_TRUE(e.app->start());
    const std::string map = e.dir.file("good.map"), kinds = e.dir.file("good.knd");
    e.host.fileAnswers = {{map}, {kinds}, {kinds}};
    e.map().send(Message::command(command::SaveMap));
    e.map().send(Message::command(command::SaveKinds));
    e.map().send(Message::command(command::LoadKinds));
    writeText(e.dir.file("broken.map"), "not a map");
    writeText(e.dir.file("broken.knd"), "not attributes");
    e.host.fileAnswers = {{e.dir.file("broken.map")}, {e.dir.file("broken.knd")}};
    e.map().send(Message::command(command::LoadMap));
    e.map().send(Message::command(command::LoadKinds));
    ASSERT_EQ(e.host.boxes.size(), 2u) << "each reader says why";
    EXPECT_EQ(e.host.boxes[1].text, e.dir.file("broken.knd") + "\n属性ファイルとして読めません");
    EXPECT_EQ(e.host.boxes[1].title, "属性読み込みエラー");
    EXPECT_EQ(e.app->mapPath(), map);
    EXPECT_EQ(e.app->kindPath(), kinds);

    // A save that fails says why and leaves the current files as they were.
    const std::string nowhere = e.dir.file("gone/x");
    e.host.fileAnswers = {{nowhere}, {nowhere}};
    e.map().send(Message::command(command::SaveMap));
    e.map().send(Message::command(command::SaveKinds));
    ASSERT_EQ(e.host.boxes.size(), 4u);
    EXPECT_EQ(e.host.boxes[2].text, "マップ「" + nowhere +
                                        ".map」を保存できませんでした\n"
                                        "cannot create a file beside " +
                                        nowhere + ".map: No such file or directory");
    EXPECT_EQ(e.host.boxes[3].text, "属性ファイル「" + nowhere +
                                        ".knd」を保存できませんでした\n"
                                        "cannot create a file beside " +
                                        nowhere + ".knd: No such file or directory");
    EXPECT_EQ(e.host.boxes[3].title, "保存エラー");
    EXPECT_EQ(e.app->mapPath(), map);
    EXPECT_EQ(e.app->kindPath(), kinds);

    e.screen().insertOrDeleteLines(false, true, false);
    e.host.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
    e.map().send(Message::command(command::ReloadMap));
    EXPECT_EQ(e.screen().document().grid().rows(), 40) << "the good map is reloaded";
    e.map().send(Message::command(command::Exit));
    platform::ProfileFile written(e.ini());
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.getString("MapInfo", "path", ""), map);
    EXPECT_EQ(written.getString("KindInfo", "path", ""), kinds);
}

TEST(Application, ASaveAsksBeforeReplacingTheFileItWillWrite) {
    const struct {
        int command;
        const char* typed;  // the chooser's answer, its own question passed
        const char* existing;
        bool asked;
        MessageAnswer answer;
        bool replaced;
    } cases[] = {
        {command::SaveMap, "stage1.MAP", "stage1.map", true, MessageAnswer::No, false},
        {command::SaveMap, "stage1.MAP", "stage1.map", true, MessageAnswer::Yes, true},
        {command::SaveMap, "stage1.map", "stage1.map", false, MessageAnswer::Yes, true},
        {command::SaveMap, "stage1.MAP", "other.map", false, MessageAnswer::Yes, false},
        {command::SaveKinds, "attr", "attr.knd", true, MessageAnswer::No, false},
        {command::SaveKinds, "attr.txt", "attr.knd", true, MessageAnswer::Yes, true},
    };
    for (const auto& c : cases) {
        Editor e;
        ASSERT_TRUE(e.app->start());
        const std::string existing = e.dir.file(c.existing);
        writeText(existing, "old");
        e.host.fileAnswers = {{e.dir.file(c.typed)}};
        e.host.answers = {c.answer};
        e.map().send(Message::command(c.command));
        const char* what = c.typed;
        EXPECT_EQ(e.host.fileChoosers[0].request.defaultSuffix,
                  c.command == command::SaveMap ? "map" : "knd");
        ASSERT_EQ(e.host.boxes.size(), c.asked ? 1u : 0u) << what;
        if (c.asked) {
            EXPECT_EQ(e.host.boxes[0].text, existing + " は既に存在します。\n上書きしますか？");
            EXPECT_EQ(e.host.boxes[0].buttons, MessageButtons::YesNo);
        }
        EXPECT_EQ(readText(existing) != "old", c.replaced) << what;
        if (c.answer == MessageAnswer::No) {
            ASSERT_EQ(e.host.fileChoosers.size(), 2u) << "No chooses again";
            EXPECT_EQ(e.host.fileChoosers[1].request.initialPath, e.dir.file(c.typed));
        }
    }
}

TEST(Application, FilesOfGigabytesAreRefusedUnreadWithTheirKindsMessage) {
    Editor e;
    // Sparse files: their size is there, their bytes are neither written nor to be read.
    auto huge = [&](const std::string& name, const std::string& head) {
        const std::string path = e.dir.file(name);
        writeText(path, head);
        EXPECT_EQ(::truncate(path.c_str(), 3ll << 30), 0);
        return path;
    };
    huge("Pelorin.ini", "[MapInfo]\nwindw=640\n");
    ASSERT_TRUE(e.app->start());
    EXPECT_EQ(e.map().clientSize(), (Size{800, 600}));

    const std::string kindHead =
        std::string("KIND\xF0\xFF\xFF\xFF", 8) + std::string("\0\0\0\1", 4);
    const struct {
        int command;
        std::string name, head, text, title;
    } cases[] = {
        {command::LoadMap, "zeros.map", "", "\nマップが大きすぎます（縦横それぞれ5000個までです）",
         "マップ読み込みエラー"},
        {command::LoadMap, "text.map", "MAPT\n32\n32\n1\n1\n\n1,\n",
         "\nマップが大きすぎます（縦横それぞれ5000個までです）", "マップ読み込みエラー"},
        {command::LoadKinds, "huge.knd", kindHead, "\n属性ファイルが大きすぎます",
         "属性読み込みエラー"},
        {command::LoadChips, "huge.mag", "MAKI02  ", "", "画像読み込みエラー"},
        {command::LoadChips, "huge.png", "\x89PNG\r\n\x1A\n", "", "画像読み込みエラー"},
    };
    for (const auto& c : cases) {
        const std::string path = huge(c.name, c.head);
        e.host.boxes.clear();
        e.host.fileAnswers = {{path}};
        e.map().send(Message::command(c.command));
        ASSERT_FALSE(e.host.boxes.empty()) << c.name;
        EXPECT_EQ(e.host.boxes.back().text,
                  c.text.empty() ? "画像の読み込みに失敗しました" : path + c.text);
        EXPECT_EQ(e.host.boxes.back().title, c.title);
        ::unlink(path.c_str());
    }
    EXPECT_EQ(e.app->mapPath() + e.app->kindPath() + e.app->chipPath(), "");
    EXPECT_EQ(e.screen().document().grid().rows(), 40);
    EXPECT_FALSE(e.screen().kindScreen()->isFileLoaded());

    e.map().send(Message::command(command::Exit));
    struct stat st;
    ASSERT_EQ(::stat(e.ini().c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 3ll << 30) << "a settings file that was not read is not replaced";
}

// A 2× scale on a small screen leaves a desktop of 960 × 600: the windows are shown smaller, so
// that the map window's title bar and menu and the attribute window below it stay on the screen,
// and the settings keep the sizes the user chose.
TEST(Application, WindowsTooLargeForTheDesktopAreShownSmallerAndTheSettingsKeepTheirSizes) {
    Editor e;
    e.host.desktop = Rect{0, 0, 960, 600};
    ASSERT_TRUE(e.app->start());
    const Rect map = e.map().outerRect(), kind = e.window("kindview").outerRect();
    EXPECT_GE(map.top, 0);
    EXPECT_EQ(kind.top, map.bottom) << "docked below";
    EXPECT_EQ(kind.bottom, 600);
    EXPECT_EQ(e.map().clientSize(),
              (Size{800, 600 - (map.height() - e.map().clientSize().height) - kind.height()}));
    EXPECT_EQ(e.window("chipview").outerRect().height(), 600);
    EXPECT_EQ(e.screen().windowSize(), e.map().clientSize());

    e.host.answers.push_back(MessageAnswer::Ok);
    e.map().send(Message::plain(WM_CLOSE));
    ProfileFile written(e.ini());
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.getString("MapInfo", "windh", ""), "600");
    EXPECT_EQ(written.getString("ChipInfo", "windh", ""), "600");
}
