#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command-line companion of the editor: reads and writes the editor's files with the
// editor's own code. Outputs are UTF-8; errors go to the error stream. Each command is its own
// file; this class splits the arguments and hands them to the command named first.
class PelorinTool {
public:
    PelorinTool(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

    // args excludes the program name; returns the exit status, a ToolExit (ToolCommand.h).
    int run(const std::vector<std::string>& args);

    static std::string usage();

private:
    std::FILE* m_out;
    std::FILE* m_err;
};
