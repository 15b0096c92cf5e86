#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

using namespace testing_support;

TEST(ProfileFile, LooksUpLikeAPrivateProfile) {
    TempDir dir;
    writeText(dir.file("p.ini"),
              "; comment\n[MapInfo]\nwindw = 1024 \nPath=\"/maps/a b.map\"\nempty=\n"
              "[mapinfo]\nwindw=1\n[ChipInfo]\r\ngrid=0\n");
    platform::ProfileFile profile(dir.file("p.ini"));
    ASSERT_TRUE(profile.load());
    EXPECT_EQ(profile.getString("mapinfo", "WINDW", "x"), "1024") << "first match, any case";
    EXPECT_EQ(profile.getString("MapInfo", "path", "x"), "/maps/a b.map") << "quotes dropped";
    EXPECT_EQ(profile.getString("MapInfo", "empty", "x"), "");
    EXPECT_EQ(profile.getString("MapInfo", "grid", "find_none"), "find_none");
    EXPECT_EQ(profile.getString("ChipInfo", "grid", "x"), "0");
    EXPECT_EQ(profile.getString("Nowhere", "grid", "dflt"), "dflt");

    writeText(dir.file("long.ini"), "[A]\nk=" + std::string(300, 'v') + "\n");
    platform::ProfileFile longValue(dir.file("long.ini"));
    ASSERT_TRUE(longValue.load());
    EXPECT_EQ(longValue.getString("A", "k", ""), std::string(300, 'v')) << "no value is cut";

    platform::ProfileFile missing(dir.file("none.ini"));
    EXPECT_TRUE(missing.load());
    EXPECT_EQ(missing.getString("A", "k", "find_none"), "find_none");
    platform::ProfileFile folder(dir.path());
    EXPECT_FALSE(folder.load());
}

TEST(ProfileFile, WritingKeepsEveryOtherLine) {
    TempDir dir;
    writeText(dir.file("p.ini"),
              "; mine\r\n[MapInfo]\r\nWindW=640\r\nnote=keep me\r\n\r\n[Other]\r\nx=1\r\n");
    platform::ProfileFile profile(dir.file("p.ini"));
    ASSERT_TRUE(profile.load());
    profile.setString("mapinfo", "windw", "800");
    profile.setString("MapInfo", "grid", "1");
    profile.setString("KindInfo", "grid", "0");
    ASSERT_TRUE(profile.save());
    EXPECT_EQ(readText(dir.file("p.ini")),
              "; mine\r\n[MapInfo]\r\nwindw=800\r\nnote=keep me\r\ngrid=1\r\n\r\n[Other]\r\nx=1\r\n"
              "\r\n[KindInfo]\r\ngrid=0\r\n");

    platform::ProfileFile fresh(dir.file("new.ini"));
    ASSERT_TRUE(fresh.load());
    fresh.setString("A", "k", "v");
    ASSERT_TRUE(fresh.save());
    EXPECT_EQ(readText(dir.file("new.ini")), "[A]\nk=v\n");

    platform::ProfileFile nowhere(dir.file("no/such/dir/x.ini"));
    nowhere.setString("A", "k", "v");
    EXPECT_FALSE(nowhere.save());
}
