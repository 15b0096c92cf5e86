#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// What a pelorin-tool command is handed and how it ends. Each command lives in its own file
// (InfoCommand.cpp, RenderCommand.cpp, …) and is listed once in PelorinTool.cpp's table.

enum ToolExit { kToolOk = 0, kToolBadInput = 1, kToolUsage = 2 };

// The command's arguments: options as declared by the command, the rest positional.
struct ToolOptions {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;  // options with a value
    std::map<std::string, bool> flags;          // options without one
    // Set when this run is one of several inputs given together (BatchRun.h); -o and the like
    // then already name this input's own output.
    bool several = false;

    bool has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::string value(const std::string& name, const std::string& fallback = "") const {
        const auto it = values.find(name);
        return it == values.end() ? fallback : it->second;
    }
};

// The output and error streams, and the ways a command reports.
class ToolIo {
public:
    ToolIo(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

    std::FILE* out() const { return m_out; }
    std::FILE* err() const { return m_err; }

    // "pelorin-tool: MESSAGE" and a pointer to --help; kToolUsage.
    int usageError(const std::string& message) const;
    // "pelorin-tool: MESSAGE"; kToolBadInput.
    int inputError(const std::string& message) const;
    // A line on the error stream that does not end the command.
    void note(const std::string& message) const;
    // Writes text to outPath (replacing it as a whole) or, without one, to the output.
    int emit(const std::string& text, const std::string& outPath) const;
    // Writes bytes to outPath, replacing it as a whole.
    int writeFile(const std::string& path, const void* data, std::size_t size) const;

private:
    std::FILE* m_out;
    std::FILE* m_err;
};

// An option naming a file the command writes, and the extension of that file in the option's
// folder when the command runs over several inputs (stage1.map gives OUT/stage1.png).
struct ToolOutput {
    std::string option;
    std::string extension;
};
using ToolOutputs = std::vector<ToolOutput>;

struct ToolCommand {
    const char* name;
    std::vector<std::pair<std::string, bool>> options;  // name, whether it takes a value
    const char* help;                                   // its lines of --help
    int (*run)(const ToolIo& io, const ToolOptions& options);
    // For a command that takes several inputs: what it writes for each, given the options (no
    // outputs: it prints, and -o is not needed). Null for a command of one input.
    ToolOutputs (*outputs)(const ToolOptions& options);
    // Whether a failure of the command means something was found in its input (check) rather
    // than that its work could not be done; the summary of several inputs says so.
    bool findsFaults;
};

// The commands, one accessor each; PelorinTool.cpp lists them in the order --help shows them.
const ToolCommand& infoCommand();
const ToolCommand& exportCommand();
const ToolCommand& importCommand();
const ToolCommand& kindsCommand();
const ToolCommand& convertCommand();
const ToolCommand& renderCommand();
const ToolCommand& editCommand();
const ToolCommand& playerCommand();
const ToolCommand& recoveryCommand();
const ToolCommand& checkCommand();
