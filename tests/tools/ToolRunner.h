#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

// Runs the built pelorin-tool (PELORIN_TOOL_PATH, given by the test target) as a user would,
// with its output and errors caught in files of dir.
namespace testing_support {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

inline ToolRun tool(const TempDir& dir, const std::vector<std::string>& args) {
    std::string command = shellQuoted(PELORIN_TOOL_PATH);
    for (const std::string& a : args) {
        command += " " + shellQuoted(a);
    }
    command += " >" + shellQuoted(dir.file(".out")) + " 2>" + shellQuoted(dir.file(".err"));
    const int raw = std::system(command.c_str());
    ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(dir.file(".out")),
                readText(dir.file(".err"))};
    ::unlink(dir.file(".out").c_str());
    ::unlink(dir.file(".err").c_str());
    return run;
}

}  // namespace testing_support
