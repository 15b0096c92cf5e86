#include "map/MapFile.h"
#include "tools/JsonText.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

int info(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1) {
        return io.usageError("info takes one map file");
    }
    MapGrid grid;
    tool::StderrPort port(io.err());
    MapFile::Header header;
    const platform::Outcome<MapFile::Format> read =
        MapFile::load(options.positional[0], grid, port, &header);
    platform::show(port, nullptr, read.notices);
    if (read.value == MapFile::Format::None) {
        return kToolBadInput;
    }
    json::OrderedValue out;
    if (options.several) {
        out["file"] = options.positional[0];
    }
    out["format"] = header.format == MapFile::Format::Binary ? "MAPB" : "MAPT";
    out["columns"] = grid.columns();
    out["rows"] = grid.rows();
    out["chipWidth"] = header.chipWidth;
    out["chipHeight"] = header.chipHeight;
    return io.emit(json::write(out) + "\n", "");
}

}  // namespace

const ToolCommand& infoCommand() {
    static const ToolCommand command{
        "info",
        {},
        "  info MAP...\n"
        "      print the map's format, size and stored chip size as one JSON object\n",
        info,
        [](const ToolOptions&) { return ToolOutputs{}; },
        false};
    return command;
}
