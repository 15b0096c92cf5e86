#include "app/core/CommandLine.h"

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    CommandLine line;
    const auto refuse = [&line](const std::string& error) {
        line.action = Action::Refuse;
        line.error = error;
        line.files.clear();
        return line;
    };
    bool filesOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (filesOnly || a.empty() || a[0] != '-' || a == "-") {
            line.files.push_back(a);
        } else if (a == "--") {
            filesOnly = true;
        } else if (a == "-h" || a == "--help") {
            line.action = Action::Help;
            return line;
        } else if (a == "--version") {
            line.action = Action::Version;
            return line;
        } else if (a == "--lang" || a.compare(0, 7, "--lang=") == 0) {
            std::string value;
            if (a == "--lang") {
                if (i + 1 >= arguments.size()) {
                    return refuse("--lang needs a language: ja or en");
                }
                value = arguments[++i];
            } else {
                value = a.substr(7);
            }
            if (value != "ja" && value != "en") {
                return refuse("unknown language \"" + value + "\" (ja or en)");
            }
            line.language = value;
        } else {
            return refuse("unknown option \"" + a + "\"");
        }
    }
    return line;
}

std::string CommandLine::usage() {
    return "usage: pelorin [--lang ja|en] [FILE...]\n"
           "\n"
           "Pelorin, an editor for the tile maps of 2D games.\n"
           "\n"
           "Each FILE is opened as what its content says it is: a map (*.map), an attribute\n"
           "file (*.knd), a player's frames (*.json) or a chip image. When Pelorin already\n"
           "runs, the files open in it.\n"
           "\n"
           "options:\n"
           "  --lang ja|en   the language of the editor (default: the user's locale)\n"
           "  -h, --help     show this text\n"
           "  --version      show the version\n";
}

std::string CommandLine::version() {
    return std::string("pelorin ") + PELORIN_VERSION + "\n";
}

std::string CommandLine::languageFor(const std::string& asked, const std::string& locale) {
    if (!asked.empty()) {
        return asked;
    }
    const bool english = locale.compare(0, 2, "en") == 0 &&
                         (locale.size() == 2 || locale[2] == '_' || locale[2] == '-');
    return english ? "en" : "ja";
}
