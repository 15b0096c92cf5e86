#include "tools/PelorinTool.h"

#include <algorithm>

#include "tools/ToolCommand.h"

namespace {

// Every command, in the order --help lists them. A new command is one line here.
const std::vector<const ToolCommand*>& commands() {
    static const std::vector<const ToolCommand*> all = {
        &infoCommand(),   &exportCommand(), &importCommand(), &kindsCommand(),    &convertCommand(),
        &renderCommand(), &editCommand(),   &playerCommand(), &recoveryCommand(),
    };
    return all;
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
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::fputs(usage().c_str(), m_out);
            return kToolOk;
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
    return command->run(io, options);
}
