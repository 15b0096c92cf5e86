// pelorin-tool recovery: folders written as the editor writes them, listed and saved as files
// without the editor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/core/RecoveredWork.h"
#include "chips/KindTable.h"
#include "map/MapFile.h"
#include "map/MapRecorder.h"
#include "platform/RecordStore.h"
#include "platform/RecoveryFolder.h"
#include "preview/PlayerFile.h"
#include "tests/tools/ToolRunner.h"
#include "tools/JsonText.h"

using namespace testing_support;

namespace {

constexpr std::int64_t kTime = 1767225600000;  // 2026/01/01 00:00:00 UTC

// A root of two folders. The first is an editor's that loaded stage.map, changed a cell and the
// chip size, changed the attribute table it read from attrs.knd, and registered two frames. The
// second is that of a new attribute table, whose journal ends damaged and whose restore began
// and never finished.
class RecoveryCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir(dir.file("maps").c_str(), 0755);
        map.reset(4, 3);
        map.setChipSize(24, 40);
        map.setChip(1, 2, 7);
        std::string path = dir.file("maps/stage.map");
        ASSERT_TRUE(MapFile::save(path, map).value);

        KindTable table;
        table.resetToDefaults(3);
        records = table.records();
        records[5].z = 9;
        std::string kindsPath = dir.file("attrs.knd");
        ASSERT_TRUE(table.saveFile(kindsPath));

        PlayerFrame frame;
        frame.path = frame.displayName = dir.file("img/hero.bmp");
        frames[0] = {frame};
        frame.displayTime = 250;
        frames[2] = {frame};
        std::string text;
        ASSERT_TRUE(PlayerFile::toText(frames, std::string(), text).value);

        owner = platform::RecoveryFolder::create(root).value;
        ASSERT_TRUE(owner);
        {
            platform::RecordStore store(owner->path());
            MapRecorder recorder(store, 0);
            recorder.recordItem(recovery::kindsKind(),
                                recovery::withTime(recovery::kindsPayload(
                                                       true, kindsPath,
                                                       platform::FileStamp::of(kindsPath), records),
                                                   kTime));
            recorder.recordItem(recovery::playerKind(),
                                recovery::withTime(recovery::playerPayload(true, text, 2), kTime));
            MapChange change;
            change.kind = MapChange::Kind::Started;
            change.origin = MapChange::Origin::Loaded;
            change.path = path;
            recorder.record(map, change, false);
            map.setKind(3, 0, 42);
            change = MapChange();
            change.layer = MapGrid::kKindLayer;
            change.left = 3;
            change.width = change.height = 1;
            recorder.record(map, change, true);
            map.setChipSize(48, 16);
            change.kind = MapChange::Kind::ChipSize;
            recorder.record(map, change, true);
            recorder.flush(map);
            store.waitIdle();
            ASSERT_EQ(store.failures(), 0u);
        }
        const RecoveredWork work = RecoveredWork::read(owner->path(), owner->files());
        mapTime = recovery::timeText(work.map.timeMs);

        // A new map's folder whose journal ends in bytes that are no record.
        ASSERT_EQ(::mkdir(second.c_str(), 0700), 0);
        {
            platform::RecordStore store(second);
            MapRecorder recorder(store, 0);
            recorder.recordItem(
                recovery::kindsKind(),
                recovery::withTime(recovery::kindsPayload(true, "", {}, {records[0]}), kTime));
            MapGrid blank;
            blank.reset(2, 2);
            MapChange change;
            change.kind = MapChange::Kind::Started;
            recorder.record(blank, change, false);
            recorder.flush(blank);
        }
        std::vector<std::uint8_t> journal = readBytes(second + "/map-1.journal");
        journal.insert(journal.end(), 32, 'X');
        writeBytes(second + "/map-1.journal", journal);
        writeText(second + "/" + recovery::kRestoringFile, "restoring\n");
    }

    TempDir dir;
    const std::string root = dir.file("recovery");
    const std::string second = root + "/zz-second";  // after the first, whose name is a time
    MapGrid map;
    std::vector<KindRecord> records;
    PlayerFile::Lists frames;
    std::unique_ptr<platform::RecoveryFolder> owner;
    std::string mapTime;
};

json::Value parsed(const std::string& text) {
    json::Value value;
    const platform::Outcome<bool> read = json::parse(text, value);
    EXPECT_TRUE(read.value) << read.why();
    return value;
}

}  // namespace

TEST_F(RecoveryCommand, ListsEveryFolderAndItsUnsavedWork) {
    std::string text = R"({"root": "@ROOT@", "folders": [
      {"folder": "@ROOT@/@FIRST@", "name": "@FIRST@", "running": true, "restoreFailed": false,
       "items": [{"item": "map", "path": "@DIR@/maps/stage.map", "columns": 4, "rows": 3,
                  "chipWidth": 48, "chipHeight": 16, "time": "@MAPTIME@", "fileChanged": false},
                 {"item": "attributes", "path": "@DIR@/attrs.knd", "records": 100, "time": "@TIME@",
                  "fileChanged": false},
                 {"item": "player", "frames": 2, "time": "@TIME@"}],
       "problems": []},
      {"folder": "@ROOT@/zz-second", "name": "zz-second", "running": false, "restoreFailed": true,
       "items": [{"item": "attributes", "path": null, "records": 1, "time": "@TIME@",
                  "fileChanged": false}],
       "problems": ["@ROOT@/zz-second/map-1.journal: a damaged record; the work after it is lost"]}]})";
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"@ROOT@", root},
                                      {"@FIRST@", owner->name()},
                                      {"@DIR@", dir.path()},
                                      {"@MAPTIME@", mapTime},
                                      {"@TIME@", recovery::timeText(kTime)}}) {
        for (std::size_t at; (at = text.find(name)) != std::string::npos;) {
            text.replace(at, name.size(), value);
        }
    }
    json::Value expected = parsed(text);
    const auto run = tool(dir, {"recovery", "list", "--root", root});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(parsed(run.out), expected);

    // Reading took no lock and changed nothing; a changed attribute file is told.
    owner.reset();
    std::string replaced = dir.file("attrs.knd");
    ASSERT_TRUE(KindTable().saveFile(replaced));
    expected["folders"][0]["running"] = false;
    expected["folders"][0]["items"][1]["fileChanged"] = true;
    EXPECT_EQ(parsed(tool(dir, {"recovery", "list", "--root", root}).out), expected);

    const auto none = tool(dir, {"recovery", "list", "--root", dir.file("none")});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(parsed(none.out),
              parsed(R"({"root": ")" + dir.file("none") + R"(", "folders": []})"));
}

TEST_F(RecoveryCommand, ExportsWhatTheEditorWouldSave) {
    const std::string out = dir.file("out");
    const auto run = tool(dir, {"recovery", "export", owner->path(), "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out + "/stage.map\n" + out + "/attrs.knd\n" + out + "/player.json\n");
    EXPECT_EQ(run.err, "");

    std::string expectedMap = dir.file("expected.map");
    ASSERT_TRUE(MapFile::save(expectedMap, map).value);
    EXPECT_EQ(readBytes(out + "/stage.map"), readBytes(expectedMap));
    KindTable table;
    table.assign(records);
    std::string expectedKinds = dir.file("expected.knd");
    ASSERT_TRUE(table.saveFile(expectedKinds));
    EXPECT_EQ(readBytes(out + "/attrs.knd"), readBytes(expectedKinds));
    PlayerFile::Lists loaded;
    std::string text, expectedText;
    ASSERT_TRUE(PlayerFile::load(out + "/player.json", loaded).value);
    PlayerFile::toText(loaded, std::string(), text);
    PlayerFile::toText(frames, std::string(), expectedText);
    EXPECT_EQ(text, expectedText);
    EXPECT_NE(readText(out + "/player.json").find("\"../img/hero.bmp\""), std::string::npos);

    // What is readable is saved; what is not is named.
    const auto partial = tool(dir, {"recovery", "export", second, "-o", out});
    EXPECT_EQ(partial.status, 0);
    EXPECT_EQ(partial.out, out + "/recovered.knd\n");
    EXPECT_EQ(partial.err, "pelorin-tool: " + second +
                               "/map-1.journal: a damaged record; the work after it is lost\n");
}

TEST_F(RecoveryCommand, RefusesBeforeWritingAnything) {
    const std::string out = dir.file("out"), empty = dir.file("empty");
    ::mkdir(out.c_str(), 0755);
    ::mkdir(empty.c_str(), 0700);
    writeText(out + "/player.json", "mine");
    const std::pair<std::string, std::string> cases[] = {
        {owner->path(), out + "/player.json: already exists; nothing was written"},
        {empty, empty + ": no unsaved work that can be read"},
        {dir.file("gone"), dir.file("gone") + ": No such file or directory"},
        {dir.file("attrs.knd"), dir.file("attrs.knd") + ": not a recovery folder"},
    };
    for (const auto& [folder, message] : cases) {
        const auto run = tool(dir, {"recovery", "export", folder, "-o", out});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "pelorin-tool: " + message + "\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(listDir(out), std::vector<std::string>{"player.json"});
    EXPECT_EQ(readText(out + "/player.json"), "mine");

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"recovery"},
                                               {"recovery", "open"},
                                               {"recovery", "list", out},
                                               {"recovery", "export", empty},
                                               {"recovery", "export", "-o", out}}) {
        EXPECT_EQ(tool(dir, args).status, 2) << args.back();
    }
}
