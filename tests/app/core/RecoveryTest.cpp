// The editor's unsaved work: the title's mark, the exit question, the records kept while it runs
// and what the next start makes of them, on the headless window system and a clock of the
// test's own. (The records surviving a real kill: RecoveryKillTest.)
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/core/Application.h"
#include "app/core/Menus.h"
#include "app/core/RecoveredWork.h"
#include "app/core/RecoveryDialog.h"
#include "chips/KindScreen.h"
#include "map/MapFile.h"
#include "map/MapScreen.h"
#include "platform/Message.h"
#include "platform/MillisecondClock.h"
#include "platform/RecoveryFolder.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

using namespace platform;
using namespace platform::headless;
using namespace testing_support;

namespace {

struct TestClock : MillisecondClock {
    std::uint64_t now = 5'000'000;
    std::uint64_t NowMicroseconds() const override { return now; }
};

// Settings and chip sheet in one folder, and the recovery root beside them, shared by the
// editors a test starts one after another.
struct Place {
    TempDir dir;
    Place() {
        BmpPicture bmp;
        bmp.width = 256;
        bmp.height = 256;
        bmp.pixels = bottomUpRows(std::vector<Bytes>(256, Bytes(256 * 3, 0x40)));
        writeBytes(dir.file("chips.bmp"), encodeBmp(bmp));
        writeText(dir.file("Pelorin.ini"), "[ChipInfo]\npath=" + dir.file("chips.bmp") + "\n");
    }
    std::string root() const { return dir.file("state"); }
    std::vector<RecoveryFolder::Entry> folders() const { return RecoveryFolder::list(root()); }
};

struct Editor {
    HeadlessHost host;
    TestClock clock;
    std::unique_ptr<Application> app;

    explicit Editor(const Place& place) {
        RecoveryOptions options;
        options.root = place.root();
        options.clock = &clock;
        app = std::make_unique<Application>(
            host,
            SettingsLocation{place.dir.file("Pelorin.ini"), place.dir.file("Pelorin.ini"), {}},
            options);
    }
    HeadlessWindow& map() { return *host.window("mapeditor"); }
    HeadlessWindow& owner() { return *host.window("Parent"); }
    MapScreen& screen() { return *app->mapScreen(); }
    bool timerRuns() { return owner().timers().count(RecoveryKeeper::kTimerId) != 0; }

    // A click on the cell, then Enter's put.
    void paint(int column, int row) {
        const int x = column * 32 + 5, y = row * 32 + 5;
        map().send(Message::mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON));
        map().send(Message::mouse(WM_LBUTTONUP, x, y, 0));
        screen().put();
    }
    // Time passes; the keeper's timer fires as it would.
    void wait(int ms) {
        for (int left = ms; left > 0;) {
            const int step = std::min(left, 50);
            clock.now += static_cast<std::uint64_t>(step) * 1000;
            left -= step;
            if (timerRuns()) {
                owner().fireTimer(RecoveryKeeper::kTimerId);
                app->recovery().waitForDisk();  // each tick sees how the last one's writes went
            }
        }
    }
    std::string save(const std::string& path) {
        host.fileAnswers.push_back({path});
        map().send(Message::command(command::SaveMap));
        return path;
    }
};

// What the folders under root hold now, as the next start would read them.
RecoveredWork onlyWork(const Place& place) {
    const auto folders = place.folders();
    EXPECT_EQ(folders.size(), 1u);
    return folders.empty() ? RecoveredWork()
                           : RecoveredWork::read(folders[0].path, listDir(folders[0].path));
}

std::vector<std::uint8_t> savedBytes(MapGrid grid, const TempDir& dir) {
    std::string path = dir.file("expected.map");
    EXPECT_TRUE(MapFile::save(path, grid).value);
    return readBytes(path);
}

}  // namespace

TEST(Recovery, UnsavedWorkShowsInTheTitleAndTheExitQuestion) {
    Place place;
    Editor e(place);
    ASSERT_TRUE(e.app->start());
    auto marked = [&] {
        const std::string title = e.map().title();
        return title.size() > 2 && title.compare(title.size() - 2, 2, " *") == 0;
    };
    auto exitQuestion = [&] {
        e.host.answers.push_back(MessageAnswer::Cancel);
        e.map().send(Message::plain(WM_CLOSE));
        return e.host.boxes.back().text;
    };
    EXPECT_FALSE(marked());
    EXPECT_EQ(exitQuestion(), "終了しますか？");
    e.paint(1, 1);
    EXPECT_TRUE(marked());
    EXPECT_EQ(exitQuestion(), "保存していない変更があります。終了しますか？");
    EXPECT_EQ(e.host.boxes.back().title, "確認");
    e.screen().undo();
    EXPECT_FALSE(marked()) << "undone back to the new map";
    e.screen().redo();
    EXPECT_TRUE(marked());
    e.save(place.dir.file("one.map"));
    EXPECT_FALSE(marked()) << "saved";
    e.screen().undo();
    EXPECT_TRUE(marked()) << "the saved map had the chip";
    e.screen().redo();
    EXPECT_FALSE(marked());

    // The attribute table counts too, until it is saved.
    KindTable& table = e.screen().kindScreen()->table();
    KindRecord record = table.record(3);
    record.z = 9;
    table.setRecord(3, record);
    e.map().send(Message::command(command::Settings));  // the shell's commands refresh the title
    EXPECT_TRUE(marked());
    std::string knd = place.dir.file("a.knd");
    ASSERT_TRUE(table.saveFile(knd));
    e.map().send(Message::command(command::Settings));
    EXPECT_FALSE(marked());
    EXPECT_FALSE(e.map().isDestroyed());
}

TEST(Recovery, RecordsAreWrittenAfterAPauseOrAtTheLatestAfterTenSeconds) {
    Place place;
    Editor e(place);
    ASSERT_TRUE(e.app->start());
    e.wait(3000);
    EXPECT_FALSE(e.timerRuns()) << "nothing waits: the editor sleeps";
    EXPECT_FALSE(onlyWork(place).needsUser()) << "a new map is nothing to offer";

    e.paint(2, 3);
    e.wait(1900);
    EXPECT_FALSE(onlyWork(place).hasMap()) << "the user has not paused yet";
    e.wait(200);
    RecoveredWork work = onlyWork(place);
    ASSERT_TRUE(work.hasMap());
    EXPECT_EQ(work.map.grid.chip(2, 3), 0);

    // Painting on without a pause of 2 s: written all the same after 10 s, with every stroke
    // made until then.
    for (int i = 0; i < 13; ++i) {
        e.paint(4 + i, 5);
        e.wait(900);
    }
    work = onlyWork(place);
    EXPECT_EQ(work.map.grid.chip(4, 5), 0) << "the first stroke of the run";
    EXPECT_EQ(work.map.grid.chip(4 + 11, 5), 0) << "the stroke at 9.9 s";
    EXPECT_EQ(work.map.grid.chip(4 + 12, 5), -1) << "the stroke at 10.8 s waits for the next";
    EXPECT_TRUE(e.timerRuns());
}

TEST(Recovery, WorkLeftByAGoneEditorIsOfferedAndRestoredExactly) {
    Place place;
    std::vector<std::uint8_t> expected;
    {
        Editor a(place);
        ASSERT_TRUE(a.app->start());
        a.paint(1, 1);
        a.paint(7, 3);
        a.screen().insertOrDeleteLines(false, true, false);  // a row at the cursor
        a.paint(0, 0);
        a.wait(2500);
        expected = savedBytes(a.screen().document().grid(), place.dir);
        // The editor goes as a crash leaves it: no tear-down, the folder stays behind.
    }
    ASSERT_EQ(place.folders().size(), 1u);
    EXPECT_FALSE(place.folders()[0].running);

    Editor b(place);
    std::vector<std::vector<std::string>> rows;
    b.host.dialogScripts.push_back([&](ScriptedDialog& d) {
        for (int i = 0; i < d.itemCount(RecoveryDialog::kListId); ++i) {
            rows.push_back({d.itemText(RecoveryDialog::kListId, i, 0),
                            d.itemText(RecoveryDialog::kListId, i, 1),
                            d.itemText(RecoveryDialog::kListId, i, 2)});
        }
        d.click(RecoveryDialog::kRestoreId);
    });
    ASSERT_TRUE(b.app->start());
    ASSERT_EQ(b.host.dialogs.size(), 1u);
    EXPECT_EQ(b.host.dialogs[0].title, "作業の復元");
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"マップ", "新規マップ", "40×41"}}));
    EXPECT_EQ(b.screen().document().grid().rows(), 41);
    EXPECT_EQ(b.screen().document().grid().chip(7, 4), 0)
        << "the row inserted at row 3 moved it down";
    const std::string title = b.map().title();
    EXPECT_EQ(title.substr(title.size() - 2), " *");
    EXPECT_EQ(readBytes(b.save(place.dir.file("restored.map"))), expected);

    // The folder is the new editor's now: one folder, running.
    ASSERT_EQ(place.folders().size(), 1u);
    EXPECT_TRUE(place.folders()[0].running);
}

// The map's file rewritten by another program while the editor has it open, and the reload
// declined: the unsaved work built on the file is written again whole, at once, and survives; a
// map with nothing unsaved leaves nothing to offer.
TEST(Recovery, AMapFileChangedUnderTheEditorLosesNoWorkAndOffersNoneWhenThereWasNone) {
    for (const bool edited : {true, false}) {
        Place place;
        std::string path = place.dir.file("stage.map");
        MapGrid grid;
        grid.reset(6, 4);
        ASSERT_TRUE(MapFile::save(path, grid).value);
        std::vector<std::uint8_t> expected;
        {
            Editor a(place);
            ASSERT_TRUE(a.app->start({path}));
            a.owner().fireTimer(Application::kWatchTimerId);
            if (edited) {
                a.paint(2, 1);
            }
            a.wait(2500);
            expected = savedBytes(a.screen().document().grid(), place.dir);
            MapGrid other;
            other.reset(3, 3);
            ASSERT_TRUE(MapFile::save(path, other).value);
            a.host.answers.push_back(MessageAnswer::No);
            a.owner().fireTimer(Application::kWatchTimerId);
            ASSERT_EQ(a.host.boxes.size(), 1u) << "the question was asked";
            a.wait(2500);
        }
        Editor b(place);
        b.host.dialogScripts.push_back(
            [](ScriptedDialog& d) { d.click(RecoveryDialog::kRestoreId); });
        ASSERT_TRUE(b.app->start());
        ASSERT_EQ(b.host.dialogs.size(), edited ? 1u : 0u) << edited;
        if (edited) {
            EXPECT_EQ(readBytes(b.save(place.dir.file("restored.map"))), expected);
        }
        EXPECT_EQ(place.folders().size(), 1u) << edited << ": only b's own";
    }
}

TEST(Recovery, DiscardDeletesLaterKeepsAndAnUnfinishedRestoreIsSaid) {
    const struct {
        const char* what;
        std::function<void(ScriptedDialog&)> choose;
        std::vector<MessageAnswer> answers;
        bool marker;
        bool kept;
        bool restored;
    } cases[] = {
        {"後で",
         [](ScriptedDialog& d) { d.click(RecoveryDialog::kLaterId); },
         {},
         false,
         true,
         false},
        {"Escape", [](ScriptedDialog&) {}, {}, false, true, false},
        {"破棄, then yes",
         [](ScriptedDialog& d) { d.click(RecoveryDialog::kDiscardId); },
         {MessageAnswer::Yes},
         false,
         false,
         false},
        {"破棄, then no",
         [](ScriptedDialog& d) { d.click(RecoveryDialog::kDiscardId); },
         {MessageAnswer::No},
         false,
         true,
         false},
        {"Enter after an unfinished restore: 後で is the default",
         [](ScriptedDialog& d) { d.pressEnter(); },
         {},
         true,
         true,
         false},
        {"Enter otherwise: 復元", [](ScriptedDialog& d) { d.pressEnter(); }, {}, false, true, true},
    };
    for (const auto& c : cases) {
        Place place;
        {
            Editor a(place);
            ASSERT_TRUE(a.app->start());
            a.paint(5, 5);
            a.wait(2500);
        }
        if (c.marker) {
            writeText(place.folders()[0].path + "/" + recovery::kRestoringFile, "x");
        }
        Editor b(place);
        std::string note;
        b.host.dialogScripts.push_back([&](ScriptedDialog& d) {
            note = d.text(RecoveryDialog::kNoteId);
            c.choose(d);
        });
        for (MessageAnswer answer : c.answers) {
            b.host.answers.push_back(answer);
        }
        ASSERT_TRUE(b.app->start()) << c.what;
        EXPECT_EQ(note.find("前回、この作業の復元は完了しませんでした") != std::string::npos,
                  c.marker)
            << c.what;
        EXPECT_EQ(b.screen().document().grid().chip(5, 5) == 0, c.restored) << c.what;
        // b's own folder, and a's unless it was deleted (or taken over by the restore).
        EXPECT_EQ(place.folders().size(), c.kept && !c.restored ? 2u : 1u) << c.what;
        b.app.reset();
        if (c.kept) {
            Editor again(place);
            ASSERT_TRUE(again.app->start());
            EXPECT_EQ(again.host.dialogs.size(), 1u) << c.what << ": offered again";
        }
    }
}

TEST(Recovery, ACleanExitRemovesTheFolderEvenWithUnsavedWork) {
    Place place;
    Editor e(place);
    ASSERT_TRUE(e.app->start());
    e.paint(3, 3);
    e.wait(2500);
    ASSERT_EQ(place.folders().size(), 1u);
    e.host.answers.push_back(MessageAnswer::Ok);
    e.map().send(Message::plain(WM_CLOSE));
    EXPECT_TRUE(e.app->hasEnded());
    EXPECT_TRUE(place.folders().empty());
}

// Writes that fail (here: files may not grow past 1 KiB, as on a full disk) are told once;
// editing goes on, the last good records stay readable, and writing works again later.
TEST(Recovery, AFailingDiskIsToldOnceAndTheLastGoodRecordsStay) {
    Place place;
    Editor e(place);
    ASSERT_TRUE(e.app->start());
    e.paint(1, 1);
    e.wait(2500);

    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 1024;
    void (*oldHandler)(int) = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    // A whole window of cells at once: a record larger than a file may grow.
    e.map().send(Message::mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON));
    e.map().send(Message::mouse(WM_MOUSEMOVE, 700, 500, MK_LBUTTON));
    e.map().send(Message::mouse(WM_LBUTTONUP, 700, 500, 0));
    e.screen().put();
    e.wait(2500);
    e.paint(20, 17);
    e.wait(12000);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(e.host.boxes.size(), 1u) << "told once, not at every retry";
    EXPECT_EQ(e.host.boxes[0].title, "復元データの書き込みエラー");
    EXPECT_NE(e.host.boxes[0].text.find("File too large"), std::string::npos);
    RecoveredWork work = onlyWork(place);
    ASSERT_TRUE(work.hasMap());
    EXPECT_EQ(work.map.grid.chip(1, 1), 0);
    EXPECT_EQ(work.map.grid.chip(10, 10), -1) << "the fill was never written whole";
    EXPECT_EQ(e.screen().document().grid().chip(20, 17), 0) << "editing went on";

    e.wait(12000);  // the retry, with room again
    work = onlyWork(place);
    EXPECT_EQ(work.map.grid.chip(10, 10), 0);
    EXPECT_EQ(work.map.grid.chip(20, 17), 0);
    EXPECT_EQ(e.host.boxes.size(), 1u);
}
