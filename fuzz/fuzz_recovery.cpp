// A recovery folder as the next start or pelorin-tool reads it. The input is up to six files
// separated by kSeparator, after a first byte that picks the name of the first: file i is named
// kNames[(first + i) % 7], and an empty one is left out, so that any set of names can be made.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/core/RecoveredWork.h"

namespace {

const char* const kNames[] = {"map-1.base", "map-1.journal", "map-2.base", "map-2.journal",
                              "map-3.base", "map-3.journal", "restoring"};
constexpr int kNameCount = 7;
constexpr int kMaxFiles = 6;
const std::string kSeparator = "\xfe\xfePLF\xfe\xfe";

std::string scratchFolder() {
    const char* dir = std::getenv("TMPDIR");
    const std::string path = std::string(dir && *dir ? dir : "/tmp") + "/pelorin-fuzz-recovery-" +
                             std::to_string(::getpid());
    ::mkdir(path.c_str(), 0700);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = scratchFolder();
    if (size == 0) {
        return 0;
    }
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> names;
    std::size_t at = 0;
    for (int i = 0; i < kMaxFiles && at <= input.size(); ++i) {
        std::size_t end = i + 1 < kMaxFiles ? input.find(kSeparator, at) : std::string::npos;
        end = std::min(end, input.size());
        const std::string name = kNames[(data[0] + i) % kNameCount];
        if (end > at && std::find(names.begin(), names.end(), name) == names.end()) {
            if (std::FILE* f = std::fopen((folder + "/" + name).c_str(), "wb")) {
                std::fwrite(input.data() + at, 1, end - at, f);
                std::fclose(f);
                names.push_back(name);
            }
        }
        at = end + kSeparator.size();
    }

    const RecoveredWork work = RecoveredWork::read(folder, names);
    // Whatever was read keeps the map's shape and holds no more than the input did.
    if (work.map.found) {
        const MapGrid& grid = work.map.grid;
        for (const MapGrid::Layer* layer : {&grid.chipLayer(), &grid.kindLayer()}) {
            if (layer->size() != static_cast<std::size_t>(grid.rows())) {
                std::abort();
            }
            for (const MapGrid::Row& row : *layer) {
                if (row.size() != static_cast<std::size_t>(grid.columns())) {
                    std::abort();
                }
            }
        }
    }
    if (work.kinds.records.size() * sizeof(KindRecord) > size || work.player.text.size() > size ||
        work.session.chipPath.size() > size) {
        std::abort();
    }
    (void)work.lastTimeMs();

    for (const std::string& name : names) {
        ::unlink((folder + "/" + name).c_str());
    }
    return 0;
}
