#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command-line companion of the editor: reads and writes the editor's files with the
// editor's own code. Outputs are UTF-8; errors go to the error stream.
class PelorinTool {
public:
    enum ExitCode { kOk = 0, kBadInput = 1, kUsage = 2 };

    PelorinTool(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

    // args excludes the program name.
    int run(const std::vector<std::string>& args);

    static const char* usage();

private:
    struct Options;

    int info(const Options& options);
    int exportMap(const Options& options);
    int importMap(const Options& options);
    int kinds(const Options& options);
    int convert(const Options& options);
    int edit(const Options& options);

    int usageError(const std::string& message);
    int inputError(const std::string& message);
    // Writes text to the -o file (replacing it as a whole) or, without one, to the output.
    int emit(const std::string& text, const std::string& outPath);

    std::FILE* m_out;
    std::FILE* m_err;
};
