#include "app/core/EditorSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "app/core/SettingsLocation.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

EditorSettings settingsFrom(const TempDir& dir, const std::string& text) {
    writeText(dir.file("Pelorin.ini"), text);
    platform::ProfileFile profile(dir.file("Pelorin.ini"));
    profile.load();
    return loadSettings(profile);
}

}  // namespace

TEST(EditorSettings, DefaultsWithoutAFile) {
    platform::ProfileFile profile("/nonexistent/Pelorin.ini");
    profile.load();
    const EditorSettings s = loadSettings(profile);
    EXPECT_EQ(s.map.windowWidth, 800);
    EXPECT_EQ(s.map.windowHeight, 600);
    EXPECT_EQ(s.kind.windowHeight, 128);
    EXPECT_EQ(s.chip.chipWidth, 32);
    EXPECT_EQ(s.map.grid, 1);
    EXPECT_EQ(s.map.scrollBars, 0);
    EXPECT_EQ(s.map.gridColour, 0xFF000000u);
    EXPECT_EQ(s.map.cursorColour, 0xFFFF0000u);
    EXPECT_EQ(s.map.selectionFrameColour, 0xFF0000FFu);
    EXPECT_EQ(s.map.selectionFillColour, 0x80FFFFFFu);
    EXPECT_TRUE(s.map.path.empty());
}

TEST(EditorSettings, RangesChannelsAndAbsentKeys) {
    TempDir dir;
    writeText(dir.file("stage.map"), "x");
    const EditorSettings s = settingsFrom(
        dir,
        "[MapInfo]\nwindw=1281\nwindh=1024\ngrid_red=300\ngrid_green=-1\ncur_alpha=12abc\n"
        "scrbar=find_none\ngrid=7\npath=" +
            dir.file("stage.map") +
            "\n[ChipInfo]\nchipw=8\nchiph=24\nwindw=320\npath=" + dir.file("gone.png") +
            "\n[KindInfo]\npath=" + dir.path() + "\nwindw=1000\nselcur_red=5\ncur_blue=9\n");
    EXPECT_EQ(s.map.windowWidth, 800) << "1281 is out of range";
    EXPECT_EQ(s.map.windowHeight, 1024);
    EXPECT_EQ(s.map.gridColour, 0xFF2CFF00u) << "300 → 44, -1 → 255";
    EXPECT_EQ(s.map.cursorColour, 0x0CFF0000u);
    EXPECT_EQ(s.map.scrollBars, 0) << "the text find_none counts as absent";
    EXPECT_EQ(s.map.grid, 7);
    EXPECT_EQ(s.map.path, dir.file("stage.map"));
    EXPECT_EQ(s.chip.chipWidth, 32) << "8 is out of range";
    EXPECT_EQ(s.chip.chipHeight, 24);
    EXPECT_EQ(s.chip.windowWidth, 320);
    EXPECT_TRUE(s.chip.path.empty()) << "a vanished file is forgotten";
    EXPECT_TRUE(s.kind.path.empty()) << "a folder is no file";
    EXPECT_EQ(s.kind.windowWidth, 800) << "the attribute window's size is not read";
    EXPECT_EQ(s.kind.selectionFrameColour, 0xFF0000FFu);
    EXPECT_EQ(s.kind.cursorColour, 0xFFFF0009u);
}

TEST(EditorSettings, SavingWritesEveryKeyButEmptyPaths) {
    TempDir dir;
    writeText(dir.file("Pelorin.ini"), "[KindInfo]\npath=/old/attr.knd\n");
    platform::ProfileFile profile(dir.file("Pelorin.ini"));
    profile.load();
    EditorSettings s;
    s.map.path = "/maps/a.map";
    s.map.gridColour = 0x40102030;
    s.chip.chipWidth = 48;
    saveSettings(s, profile);
    EXPECT_EQ(profile.getString("KindInfo", "path", ""), "/old/attr.knd");
    EXPECT_EQ(profile.getString("MapInfo", "path", ""), "/maps/a.map");
    EXPECT_EQ(profile.getString("MapInfo", "grid_red", ""), "16");
    EXPECT_EQ(profile.getString("MapInfo", "grid_alpha", ""), "64");
    EXPECT_EQ(profile.getString("ChipInfo", "chipw", ""), "48");
    EXPECT_EQ(profile.getString("KindInfo", "windw", "find_none"), "find_none");
    EXPECT_EQ(profile.getString("KindInfo", "selcur_red", "find_none"), "find_none");
    EXPECT_EQ(profile.getString("MapInfo", "chipw", "find_none"), "find_none");

    // What is written reads back as the same settings.
    const EditorSettings back = loadSettings(profile);
    EXPECT_EQ(back.map.gridColour, 0x40102030u);
    EXPECT_EQ(back.chip.chipWidth, 48);
    EXPECT_EQ(back.kind.cursorColour, s.kind.cursorColour);
}

TEST(SettingsLocation, BesideTheProgramUnlessThatFolderIsReadOnly) {
    TempDir dir;
    const std::string program = dir.file("bin") + "/";
    ::mkdir(program.c_str(), 0755);
    const SettingsLocation writable = SettingsLocation::find(program, "", dir.path());
    EXPECT_EQ(writable.readPath, program + "Pelorin.ini");
    EXPECT_EQ(writable.writePath, program + "Pelorin.ini");

    // A program folder that cannot be written (here: one that is gone, which holds for root
    // too) sends the settings to the user's configuration folder.
    const std::string readOnly = dir.file("gone") + "/";
    const SettingsLocation installed = SettingsLocation::find(readOnly, dir.file("config"), "");
    EXPECT_EQ(installed.readPath, readOnly + "Pelorin.ini") << "no own file yet";
    EXPECT_EQ(installed.writePath, dir.file("config/pelorin/Pelorin.ini"));
    ASSERT_TRUE(installed.prepareWrite());
    writeText(installed.writePath, "[MapInfo]\n");
    EXPECT_EQ(SettingsLocation::find(readOnly, dir.file("config"), "").readPath,
              installed.writePath)
        << "once written, the own file is read";
    EXPECT_EQ(SettingsLocation::find(readOnly, "", dir.path()).writePath,
              dir.file(".config/pelorin/Pelorin.ini"));

    // A settings file that is there but read-only counts as a read-only folder.
    writeText(program + "Pelorin.ini", "");
    ::chmod((program + "Pelorin.ini").c_str(), 0444);
    if (::access((program + "Pelorin.ini").c_str(), W_OK) != 0) {
        EXPECT_EQ(SettingsLocation::find(program, dir.file("cfg"), "").writePath,
                  dir.file("cfg/pelorin/Pelorin.ini"));
    }
}

TEST(SettingsLocation, SampleChipSheetOfTheInstallThenOfTheCheckout) {
    TempDir dir;
    char* real = ::realpath(dir.path().c_str(), nullptr);
    const std::string root = real;
    std::free(real);
    for (const char* folder :
         {"/res", "/a", "/a/b", "/a/b/bin", "/a/b/share", "/a/b/share/pelorin"}) {
        ::mkdir((root + folder).c_str(), 0755);
    }
    const std::string program = root + "/a/b/bin/";
    EXPECT_EQ(SettingsLocation::sampleChipSheet(program), "");

    writeText(root + "/res/chips.png", "");
    EXPECT_EQ(SettingsLocation::sampleChipSheet(program), root + "/res/chips.png")
        << "a program three folders below the checkout, as <build>/app/qt/ is";
    writeText(root + "/a/b/share/pelorin/chips.png", "");
    EXPECT_EQ(SettingsLocation::sampleChipSheet(program), root + "/a/b/share/pelorin/chips.png")
        << "the installed sheet comes first";
    EXPECT_EQ(SettingsLocation::sampleChipSheet(""), "");
    EXPECT_EQ(SettingsLocation::find(program, root + "/cfg", "").writePath,
              root + "/cfg/pelorin/Pelorin.ini")
        << "an installed program keeps the settings in the user's folder, writable bin or not";
}

TEST(EditorSettings, StoredPathsOfAnyLengthAndEdgeReadBackWhole) {
    TempDir dir;
    const std::string deep = dir.file(std::string(200, 'd'));
    ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0);
    const std::string paths[] = {
        deep + "/" + std::string(200, 'm') + ".map",  // far past 259 bytes
        dir.file(std::string(259 - dir.file("").size(), 'x')),
        dir.file(std::string(260 - dir.file("").size(), 'y')),
        dir.file("ends in a blank "),
        dir.file("quoted\""),
    };
    for (const std::string& path : paths) {
        writeText(path, "");
        EditorSettings s;
        s.map.path = s.chip.path = s.kind.path = path;
        platform::ProfileFile profile(dir.file("Pelorin.ini"));
        saveSettings(s, profile);
        ASSERT_TRUE(profile.save());
        ASSERT_TRUE(profile.load());
        const EditorSettings back = loadSettings(profile);
        EXPECT_EQ(back.map.path, path);
        EXPECT_EQ(back.chip.path, path);
        EXPECT_EQ(back.kind.path, path);
    }
}

// The zoom of the map and chip windows: a step as written, anything else (and an older file
// without the key) 1:1; what is written is read back.
TEST(EditorSettings, ZoomStepsRoundTripAndAnythingElseIsOneToOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"2", "2"},   {"1/8", "1/8"}, {"1/32", "1/32"}, {"8", "8"},    {"5", "1"},  {"1/3", "1"},
        {"0.5", "1"}, {"", "1"},      {"-2", "1"},      {"1/64", "1"}, {"2x", "1"}, {"1/1", "1"},
    };
    for (const auto& [text, expected] : cases) {
        TempDir dir;
        EditorSettings s = settingsFrom(
            dir, std::string("[MapInfo]\nzoom=") + text + "\n[ChipInfo]\nzoom=" + text + "\n");
        EXPECT_EQ(s.map.zoom, expected) << text;
        EXPECT_EQ(s.chip.zoom, expected) << text;
        platform::ProfileFile profile(dir.file("Pelorin.ini"));
        profile.load();
        saveSettings(s, profile);
        EXPECT_EQ(loadSettings(profile).map.zoom, expected) << text;
    }
    TempDir old;
    EXPECT_EQ(settingsFrom(old, "[MapInfo]\nwindw=640\n").map.zoom, "1");
}
