#include <filesystem>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapGrid.h"
#include "tools/DecimalRows.h"
#include "tools/MapJson.h"
#include "tools/PngWriter.h"
#include "tools/TiledConvert.h"
#include "tools/ToolCommand.h"
#include "tools/ToolSupport.h"

namespace {

namespace fs = std::filesystem;

// One line of comma-separated values a row.
std::string csv(const MapGrid& grid, const MapGrid::Layer& layer) {
    static const decimal::Layout kLines{"", "", "\n", "", ""};
    decimal::Extent extent;
    for (const MapGrid::Row& row : layer) {
        extent.take(row.data(), row.size());
    }
    std::string out;
    out.reserve(decimal::bound(extent, layer.size(), kLines));
    decimal::appendRows<std::int32_t>(
        out, extent, layer.size(), static_cast<std::size_t>(grid.columns()),
        [&](std::size_t r) { return layer[r].data(); }, kLines);
    return out;
}

// Whether Tiled reads the image file as it is: PNG, BMP and JPEG by their first bytes.
bool tiledReads(const std::string& path) {
    unsigned char head[4] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    const std::size_t n = f != nullptr ? std::fread(head, 1, sizeof head, f) : 0;
    if (f != nullptr) {
        std::fclose(f);
    }
    return n == 4 && ((head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') ||
                      (head[0] == 'B' && head[1] == 'M') ||
                      (head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF));
}

// path as the map file in folder names it.
std::string relativeTo(const fs::path& folder, const std::string& path) {
    std::error_code ec;
    const fs::path target = fs::absolute(path, ec).lexically_normal();
    const fs::path relative = target.lexically_relative(folder);
    return (relative.empty() ? target : relative).generic_string();
}

int exportTiled(const ToolIo& io, const ToolOptions& options, const std::string& format) {
    if (!options.has("-o") || !options.has("--chips")) {
        return io.usageError("export --format " + format + " needs --chips IMAGE and -o OUT");
    }
    MapGrid grid;
    if (!tool::loadMap(options.positional[0], grid, io.err())) {
        return kToolBadInput;
    }
    ChipSet chips;
    KindTable kinds;
    const std::string chipPath = options.value("--chips");
    const platform::Outcome<bool> read =
        tool::loadChipSet(chipPath, grid, chips, io.err()).then([&] {
            return tool::loadKinds(options.value("--kinds"), kinds);
        });
    if (!read.value) {
        return io.inputError(read.why());
    }
    // The images lie beside the map file, named after it.
    const std::string outPath = options.value("-o");
    std::error_code ec;
    const fs::path folder = fs::absolute(outPath, ec).lexically_normal().parent_path();
    const std::string stem = fs::path(outPath).stem().string();
    tiledconvert::Images images{relativeTo(folder, chipPath), stem + "-attributes.png"};
    const bool convertChips = !tiledReads(chipPath);
    if (convertChips) {
        images.chips = stem + "-chips.png";
    }
    tiled::Map map;
    const platform::Outcome<bool> made = tiledconvert::toTiled(grid, chips, kinds, images, map);
    if (!made.value) {
        return io.inputError(made.why());
    }
    std::vector<std::uint8_t> chipPng, kindPng;
    CNxSurface kindImage(32);
    if (!tiledconvert::drawKindImage(kinds, chips.chipWidth(), chips.chipHeight(), kindImage)) {
        return io.inputError("not enough memory for the tileset pictures");
    }
    const platform::Outcome<bool> encoded =
        PngWriter::encode(kindImage.GetImage(), kindPng).then([&] {
            return convertChips ? PngWriter::encode(chips.image()->GetImage(), chipPng)
                                : platform::Outcome<bool>{true, {}};
        });
    if (!encoded.value) {
        return io.inputError(encoded.why());
    }
    const std::string text = format == "tmx" ? tiled::writeTmx(map) : tiled::writeTmj(map);
    int status = io.writeFile((folder / images.kinds).string(), kindPng.data(), kindPng.size());
    if (status == kToolOk && convertChips) {
        status = io.writeFile((folder / images.chips).string(), chipPng.data(), chipPng.size());
    }
    return status == kToolOk ? io.emit(text, outPath) : status;
}

int exportMap(const ToolIo& io, const ToolOptions& options) {
    if (options.positional.size() != 1) {
        return io.usageError("export takes one map file");
    }
    const std::string format = options.value("--format", "json");
    const std::string layerName = options.value("--layer", "chips");
    if (format != "json" && format != "csv" && format != "tmx" && format != "tmj") {
        return io.usageError("--format is json, csv, tmx or tmj");
    }
    if (layerName != "chips" && layerName != "attributes") {
        return io.usageError("--layer is chips or attributes");
    }
    if (format != "csv" && options.has("--layer")) {
        return io.usageError("--layer applies to csv only; " + format + " holds both layers");
    }
    if (format == "tmx" || format == "tmj") {
        return exportTiled(io, options, format);
    }
    if (options.has("--chips") || options.has("--kinds")) {
        return io.usageError("--chips and --kinds apply to tmx and tmj only");
    }
    MapGrid grid;
    if (!tool::loadMap(options.positional[0], grid, io.err())) {
        return kToolBadInput;
    }
    const std::string out =
        format == "json" ? mapjson::write(grid)
                         : csv(grid, layerName == "chips" ? grid.chipLayer() : grid.kindLayer());
    return io.emit(out, options.value("-o"));
}

}  // namespace

const ToolCommand& exportCommand() {
    static const ToolCommand command{
        "export",
        {{"--format", true}, {"--layer", true}, {"-o", true}, {"--chips", true}, {"--kinds", true}},
        "  export MAP [--format json|csv] [--layer chips|attributes] [-o OUT]\n"
        "      write the map's cells as JSON (both layers) or CSV (one layer, default chips)\n"
        "  export MAP --format tmx|tmj --chips IMAGE [--kinds KND] -o OUT\n"
        "      write the map as a Tiled map (TMX or TMJ) with the layers \"chips\" and\n"
        "      \"attributes\" and their tilesets; the picture of the attribute colours, and\n"
        "      a chip image Tiled cannot read as PNG, are written beside OUT. Without\n"
        "      --kinds the default attributes are used, their colours fixed.\n",
        exportMap,
        [](const ToolOptions& options) {
            return ToolOutputs{{"-o", "." + options.value("--format", "json")}};
        },
        false};
    return command;
}
