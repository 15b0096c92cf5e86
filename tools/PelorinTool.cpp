#include "tools/PelorinTool.h"

#include <algorithm>
#include <thread>

#include "tools/BatchRun.h"
#include "tools/ToolCommand.h"

namespace {

// Every command, in the order --help lists them. A new command is one line here.
const std::vector<const ToolCommand*>& commands() {
    static const std::vector<const ToolCommand*> all = {
        &infoCommand(),   &exportCommand(), &importCommand(), &kindsCommand(),  &convertCommand(),
        &renderCommand(), &checkCommand(),  &editCommand(),   &playerCommand(), &recoveryCommand(),
    };
    return all;
}

// The value of -j: a whole number of jobs from 1 to 1024.
bool parseJobs(const std::string& text, int& jobs) {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    jobs = std::stoi(text);
    return jobs >= 1 && jobs <= 1024;
}

}  // namespace

std::string PelorinTool::usage() {
    std::string text =
        "usage: pelorin-tool COMMAND [ARGS]\n"
        "\n"
        "Reads and writes Pelorin's map (*.map) and attribute (*.knd) files, converts\n"
        "images as the editor loads them, draws maps as the editor does, exchanges\n"
        "maps with the Tiled map editor (TMX and TMJ), and saves the unsaved work the\n"
        "editor keeps for recovery.\n"
        "\n"
        "commands:\n";
    for (const ToolCommand* command : commands()) {
        text += command->help;
    }
    text +=
        "\n"
        "several inputs:\n"
        "  render, export, import, convert, info, kinds and check take several input\n"
        "  files at once. -o (and --kinds-out) then name folders, made when missing,\n"
        "  and each output is named after its input: stage1.map -o out gives\n"
        "  out/stage1.png. Inputs that would write the same output are refused before\n"
        "  anything is written. info prints one JSON object a line, with \"file\" first.\n"
        "  A failing input does not stop the others: its errors read \"INPUT: message\",\n"
        "  the summary counts what was done and what failed, and the exit status is 1\n"
        "  when anything failed. What is written never depends on -j.\n"
        "  -j N           run N inputs at once (default: the number of processors)\n"
        "  --quiet        no progress bar (shown on a terminal for runs over a second)\n"
        "                 and no summary\n"
        "\n"
        "options:\n"
        "  -h, --help     show this text\n"
        "  --version      show the version\n"
        "\n"
        "exit status: 0 success, 1 bad input, 2 usage error or malformed script\n";
    return text;
}

int PelorinTool::run(const std::vector<std::string>& args) {
    const ToolIo io(m_out, m_err);
    if (args.empty()) {
        return io.usageError("a command is missing");
    }
    const std::string& name = args[0];
    if (name == "-h" || name == "--help" || name == "help") {
        std::fputs(usage().c_str(), m_out);
        return kToolOk;
    }
    if (name == "--version") {
        std::fputs("pelorin-tool " PELORIN_VERSION "\n", m_out);
        return kToolOk;
    }
    const ToolCommand* command = nullptr;
    for (const ToolCommand* c : commands()) {
        command = c->name == name ? c : command;
    }
    if (command == nullptr) {
        return io.usageError("unknown command \"" + name + "\"");
    }
    ToolOptions options;
    tool::BatchSettings batch;
    batch.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const bool several = command->outputs != nullptr;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::fputs(usage().c_str(), m_out);
            return kToolOk;
        }
        if (several &&
            (a == "-j" || a == "--jobs" || (a.size() > 2 && a.compare(0, 2, "-j") == 0))) {
            const std::string value = a.size() > 2 && a[1] == 'j' ? a.substr(2)
                                      : i + 1 < args.size()       ? args[++i]
                                                                  : std::string();
            if (!parseJobs(value, batch.jobs)) {
                return io.usageError("-j takes a number of jobs from 1 to 1024");
            }
            continue;
        }
        if (several && a == "--quiet") {
            batch.quiet = true;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') {
            const auto option =
                std::find_if(command->options.begin(), command->options.end(),
                             [&](const std::pair<std::string, bool>& o) { return o.first == a; });
            if (option == command->options.end()) {
                return io.usageError("unknown option \"" + a + "\" for " + name);
            }
            if (!option->second) {
                options.flags[a] = true;
            } else if (i + 1 >= args.size()) {
                return io.usageError("option " + a + " needs a value");
            } else {
                options.values[a] = args[++i];
            }
        } else {
            options.positional.push_back(a);
        }
    }
    if (several && options.positional.size() > 1) {
        return tool::runBatch(*command, io, options, batch);
    }
    return command->run(io, options);
}
