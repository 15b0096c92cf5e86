#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/FuzzFile.h"
#include "map/MapFile.h"
#include "map/MapGrid.h"
#include "tools/EditScript.h"
#include "tools/HeadlessEditor.h"

// An edit script as `pelorin-tool edit` reads it, run on a small map. Canvases are
// kept small, and a run stops once inserted rows and columns make the map large, so that it
// stays fast; every other command runs as written.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<EditScript::Command> commands;
    const platform::Outcome<bool> parsed = EditScript::parse(text, commands);
    if (!parsed.value) {
        if (parsed.why().compare(0, 12, "script line ") != 0) {
            std::abort();
        }
        return 0;
    }
    static const std::string mapPath = [] {
        MapGrid grid;
        grid.reset(6, 4);
        std::string path = fuzzFile(nullptr, 0) + ".map";
        MapFile::save(path, grid);
        return path;
    }();
    HeadlessEditor editor;
    if (!editor.loadMap(mapPath)) {
        std::abort();
    }
    int run = 0;
    for (const EditScript::Command& command : commands) {
        if (EditScript::needsChipWindow(command.op) ||
            (command.op == EditScript::Op::Canvas &&
             static_cast<std::int64_t>(command.args[0]) * command.args[1] > 4096)) {
            continue;
        }
        editor.run(command);
        editor.takeMessages();
        const MapGrid& grid = editor.grid();
        if (++run == 200 || std::int64_t(grid.columns()) * grid.rows() > (1 << 16)) {
            break;
        }
    }
    const MapGrid& grid = editor.grid();
    if (grid.columns() < 1 || grid.rows() < 1) {
        std::abort();
    }
    return 0;
}
