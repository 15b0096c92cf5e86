#pragma once

#include <cstdio>
#include <string>
#include <vector>

// pelorin-tool player FILE.json: checks a player definition written by the registration
// dialog and prints what it holds, one line per action with its frame count and total time.
// Every image is decoded as the editor would; one that is missing or unreadable is named on the
// error stream and makes the exit status 1.
class PlayerCommand {
public:
    PlayerCommand(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

    // args: what follows "player". Returns the tool's exit status.
    int run(const std::vector<std::string>& args);

private:
    std::FILE* m_out;
    std::FILE* m_err;
};
