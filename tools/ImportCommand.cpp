#include <filesystem>

#include "chips/KindTable.h"
#include "map/MapFile.h"
#include "tools/JsonText.h"
#include "tools/MapJson.h"
#include "tools/TiledConvert.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

int importMap(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1 || !options.has("-o")) {
        return io.usageError("import takes one JSON, TMX or TMJ file and -o MAP");
    }
    const std::string& source = options.positional[0];
    std::string text;
    if (!tool::readText(source, text)) {
        return io.inputError("cannot read " + source);
    }
    const std::string folder = std::filesystem::path(source).parent_path().string();
    const bool xml = tiled::isXml(text);
    json::Value root;
    if (!xml) {
        const platform::Outcome<bool> parsed = json::parse(text, root);
        if (!parsed.value) {
            return io.inputError(source + ": " + parsed.why());
        }
    }
    // A Tiled map has layers; the tool's own JSON has "chips".
    const bool tiledMap = xml || (root.is_object() && root.contains("layers"));
    if (!tiledMap && options.has("--kinds-out")) {
        return io.usageError("--kinds-out applies to TMX and TMJ maps");
    }
    MapGrid grid;
    KindTable kinds;
    platform::Outcome<bool> read;
    if (tiledMap) {
        tiled::Map map;
        const std::string where = folder.empty() ? "." : folder;
        read =
            (xml ? tiled::readTmx(std::move(text), where, map) : tiled::readTmj(root, where, map))
                .then([&] {
                    return tiledconvert::fromTiled(map, grid,
                                                   options.has("--kinds-out") ? &kinds : nullptr);
                });
    } else {
        read = mapjson::read(root, grid);
    }
    if (!read.value) {
        return io.inputError(source + ": " + read.why());
    }
    std::string path = options.value("-o");
    if (!MapFile::save(path, grid).value) {
        return io.inputError("cannot write " + path);
    }
    std::string kindsPath = options.value("--kinds-out");
    if (options.has("--kinds-out") && !kinds.saveFile(kindsPath)) {
        return io.inputError("cannot write " + kindsPath);
    }
    return kToolOk;
}

}  // namespace

const ToolCommand& importCommand() {
    static const ToolCommand command{
        "import",
        {{"-o", true}, {"--kinds-out", true}},
        "  import JSON -o MAP\n"
        "      write a map file (\".map\" is forced) from JSON of the shape export writes;\n"
        "      \"chipWidth\"/\"chipHeight\" (16..64) default to 32, \"attributes\" to all 0\n"
        "  import MAP.tmx|MAP.tmj -o OUT.map [--kinds-out OUT.knd]\n"
        "      write a map file from an orthogonal, finite Tiled map (CSV, XML or base64\n"
        "      data, uncompressed, zlib or gzip): the tile layer \"chips\" (else the first)\n"
        "      and \"attributes\" (else all 0); with --kinds-out also the attribute file\n"
        "      made of tileset \"attributes\"\n",
        importMap,
        [](const ToolOptions&) {
            return ToolOutputs{{"-o", ".map"}, {"--kinds-out", ".knd"}};
        },
        false};
    return command;
}
