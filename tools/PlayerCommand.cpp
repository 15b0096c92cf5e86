#include "tools/PlayerCommand.h"

#include <map>

#include "preview/PlayerDefinition.h"
#include "preview/PlayerFile.h"

namespace {

constexpr int kOk = 0;
constexpr int kBadInput = 1;
constexpr int kUsage = 2;

}  // namespace

int PlayerCommand::run(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fprintf(m_err,
                     "pelorin-tool: player takes one JSON file\n(see pelorin-tool --help)\n");
        return kUsage;
    }
    PlayerFile::Lists lists;
    std::string error;
    if (!PlayerFile::load(args[0], lists, error)) {
        std::fprintf(m_err, "pelorin-tool: %s: %s\n", args[0].c_str(), error.c_str());
        return kBadInput;
    }
    std::map<std::string, bool> readable;  // each image is decoded once
    int status = kOk;
    for (int a = 0; a < PlayerDefinition::kActionCount; ++a) {
        const std::string name = PlayerDefinition::GetActionName(a);
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < lists[a].size(); ++i) {
            const PlayerFrame& frame = lists[a][i];
            total += frame.displayTime;
            auto known = readable.find(frame.path);
            if (known == readable.end()) {
                known =
                    readable
                        .emplace(frame.path, PlayerDefinition::DecodeImage(frame.path) != nullptr)
                        .first;
            }
            if (!known->second) {
                std::fprintf(m_err, "pelorin-tool: %s frame %zu: cannot read image %s\n",
                             name.c_str(), i + 1, frame.path.c_str());
                status = kBadInput;
            }
        }
        std::fprintf(m_out, "%s: %zu frames, %llu ms\n", name.c_str(), lists[a].size(),
                     static_cast<unsigned long long>(total));
    }
    return status;
}
