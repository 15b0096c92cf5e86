// pelorin-tool player FILE.json: checks a player definition written by the registration
// dialog and prints what it holds, one line per action with its frame count and total time.
// Every image is decoded as the editor would; one that is missing or unreadable is named on the
// error stream and makes the exit status 1.
#include <map>

#include "preview/PlayerDefinition.h"
#include "preview/PlayerFile.h"
#include "tools/ToolCommand.h"

namespace {

int player(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1) {
        return io.usageError("player takes one JSON file");
    }
    const std::string& path = options.positional[0];
    PlayerFile::Lists lists;
    const platform::Outcome<bool> read = PlayerFile::load(path, lists);
    if (!read.value) {
        return io.inputError(path + ": " + read.why());
    }
    std::map<std::string, bool> readable;  // each image is decoded once
    int status = kToolOk;
    for (int a = 0; a < PlayerDefinition::kActionCount; ++a) {
        const std::string name = PlayerDefinition::GetActionName(a);
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < lists[a].size(); ++i) {
            const PlayerFrame& frame = lists[a][i];
            total += frame.displayTime;
            auto known = readable.find(frame.path);
            if (known == readable.end()) {
                const bool ok = PlayerDefinition::DecodeImage(frame.path) != nullptr;
                known = readable.emplace(frame.path, ok).first;
            }
            if (!known->second) {
                io.note(name + " frame " + std::to_string(i + 1) + ": cannot read image " +
                        frame.path);
                status = kToolBadInput;
            }
        }
        std::fprintf(io.out(), "%s: %zu frames, %llu ms\n", name.c_str(), lists[a].size(),
                     static_cast<unsigned long long>(total));
    }
    return status;
}

}  // namespace

const ToolCommand& playerCommand() {
    static const ToolCommand command{
        "player",
        {},
        "  player JSON\n"
        "      summarise a player definition saved by the registration dialog: each\n"
        "      action's frame count and total display time; exit 1 when an image is\n"
        "      missing or unreadable\n",
        player,
        nullptr,
        false};
    return command;
}
