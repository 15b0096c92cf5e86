#include "app/core/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, TheLanguageIsTheOneAskedForElseEnglishOnlyForAnEnglishLocale) {
    EXPECT_EQ(CommandLine::parse({"--lang", "en", "a.map"}).language, "en");
    EXPECT_EQ(CommandLine::languageFor("ja", "en_US"), "ja");
    EXPECT_EQ(CommandLine::languageFor("en", "ja_JP"), "en");
    for (const char* locale : {"en", "en_GB", "en-US"}) {
        EXPECT_EQ(CommandLine::languageFor("", locale), "en") << locale;
    }
    for (const char* locale : {"ja_JP", "C", "", "de_DE", "eo", "ens"}) {
        EXPECT_EQ(CommandLine::languageFor("", locale), "ja") << locale;
    }
}
