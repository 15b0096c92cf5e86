#pragma once

#include <string>
#include <vector>

// What the editor is started with: pelorin [--lang ja|en] [FILE...]. Read before the window
// system is, so that --help and --version work without a display.
struct CommandLine {
    enum class Action {
        Run,      // start the editor (with the files, in the language)
        Help,     // print usage() to stdout, exit 0
        Version,  // print version() to stdout, exit 0
        Refuse,   // print error and usage() to stderr, exit 2
    };

    Action action = Action::Run;
    std::string language;            // "ja", "en", or empty: the user's locale decides
    std::vector<std::string> files;  // as given
    std::string error;

    static CommandLine parse(const std::vector<std::string>& arguments);
    static std::string usage();
    static std::string version();
    // The language the editor speaks: asked (--lang) when given; else English for a user whose
    // locale (a name such as "en_GB" or "en-US") is English; else Japanese, the language of its
    // texts, also for the C locale and languages it has no translation for.
    static std::string languageFor(const std::string& asked, const std::string& locale);
};
