#include "tools/TiledConvert.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapGrid.h"
#include "map/MapRenderer.h"

namespace tiledconvert {

namespace {

// More attribute tiles than this are not taken as an attribute table.
constexpr std::int64_t kMaxKindRecords = 10000;

std::string cellPlace(const std::string& layer, std::size_t index, int width) {
    return "layer \"" + layer + "\", cell (" + std::to_string(index % width) + "," +
           std::to_string(index / width) + ")";
}

std::vector<tiled::Property> kindProperties(const KindRecord& r) {
    using Type = tiled::Property::Type;
    char colour[10];
    std::snprintf(colour, sizeof colour, "#ff%02x%02x%02x", r.red, r.green, r.blue);
    auto flag = [](std::int32_t v) { return std::string(v != 0 ? "true" : "false"); };
    // In the order of their names, as Tiled keeps them.
    return {{"colour", Type::Color, colour},
            {"dropThrough", Type::Bool, flag(r.dropThrough)},
            {"hitBottom", Type::Int, std::to_string(r.hitBottom)},
            {"hitLeft", Type::Int, std::to_string(r.hitLeft)},
            {"hitRight", Type::Int, std::to_string(r.hitRight)},
            {"hitTop", Type::Int, std::to_string(r.hitTop)},
            {"memo", Type::String, r.memoText()},
            {"passable", Type::Bool, flag(r.passable)},
            {"z", Type::Int, std::to_string(r.z)}};
}

bool parseInt(const std::string& text, std::int32_t& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && !text.empty();
}

bool parseColour(const std::string& text, KindRecord& record) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') {
        return false;
    }
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data() + 1, end, value, 16);
    if (r.ec != std::errc() || r.ptr != end) {
        return false;
    }
    record.red = static_cast<std::uint8_t>(value >> 16);
    record.green = static_cast<std::uint8_t>(value >> 8);
    record.blue = static_cast<std::uint8_t>(value);
    return true;
}

// One property into the record; false with error when its value is not of the needed kind.
bool applyProperty(const tiled::Property& p, KindRecord& record, std::string& error) {
    std::int32_t* const ints[] = {&record.hitBottom, &record.hitLeft, &record.hitRight,
                                  &record.hitTop, &record.z};
    const char* const intNames[] = {"hitBottom", "hitLeft", "hitRight", "hitTop", "z"};
    for (int i = 0; i < 5; ++i) {
        if (p.name == intNames[i]) {
            if (!parseInt(p.value, *ints[i])) {
                error = "\"" + p.name + "\" must be a 32-bit integer, not \"" + p.value + "\"";
                return false;
            }
            return true;
        }
    }
    if (p.name == "passable" || p.name == "dropThrough") {
        if (p.value != "true" && p.value != "false") {
            error = "\"" + p.name + "\" must be true or false, not \"" + p.value + "\"";
            return false;
        }
        (p.name == "passable" ? record.passable : record.dropThrough) = p.value == "true";
        return true;
    }
    if (p.name == "colour") {
        if (!parseColour(p.value, record)) {
            error = "\"colour\" must be a colour #AARRGGBB, not \"" + p.value + "\"";
            return false;
        }
        return true;
    }
    if (p.name == "memo") {
        const KindRecord::MemoResult stored = record.setMemoText(p.value);
        if (stored.lossy || stored.truncated) {
            error = stored.lossy ? "the memo has characters that cannot be stored in code page 932"
                                 : "the memo is longer than 259 bytes in code page 932";
            return false;
        }
    }
    return true;  // properties of other names are the map author's own
}

// The GIDs of one tileset: [first, end).
struct Range {
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool contains(std::uint32_t gid) const { return gid >= first && gid < end; }
};

// Which tileset a GID belongs to, for messages; -1 for none.
int tilesetOf(const std::vector<Range>& ranges, std::uint32_t gid) {
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (ranges[i].contains(gid)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool layerCells(const tiled::Map& map, const tiled::Layer& layer, const std::vector<Range>& ranges,
                int own, const char* role, std::int32_t blank, MapGrid::Layer& cells,
                std::string& error) {
    const Range range = own >= 0 ? ranges[own] : Range{};
    // Rows left unset, as every cell is written below.
    cells.clear();
    cells.reserve(map.height);
    for (int r = 0; r < map.height; ++r) {
        cells.emplace_back(map.width);
    }
    for (int r = 0; r < map.height; ++r) {
        const std::uint32_t* gids = layer.gids.data() + std::size_t(r) * map.width;
        std::int32_t* out = cells[r].data();
        for (int c = 0; c < map.width; ++c) {
            const std::uint32_t gid = gids[c];
            if (range.contains(gid)) {
                out[c] = static_cast<std::int32_t>(gid - range.first);
                continue;
            }
            if (gid == 0) {
                out[c] = blank;
                continue;
            }
            const std::string place =
                cellPlace(layer.name, std::size_t(r) * map.width + c, map.width);
            if (gid & tiled::kFlipBits) {
                error = place + ": the tile is flipped or rotated (GID " + std::to_string(gid) +
                        "), which the editor cannot show";
                return false;
            }
            const int other = tilesetOf(ranges, gid);
            error = place + ": GID " + std::to_string(gid) +
                    (other < 0 ? " belongs to no tileset"
                               : " is a tile of tileset \"" + map.tilesets[other].name +
                                     "\", not of the " + role + " tileset");
            return false;
        }
    }
    return true;
}

}  // namespace

static bool makeTiled(const MapGrid& grid, const ChipSet& chips, const KindTable& kinds,
                      const Images& images, tiled::Map& map, std::string& error) {
    const int w = chips.chipWidth(), h = chips.chipHeight();
    map = tiled::Map();
    map.width = grid.columns();
    map.height = grid.rows();
    map.tileWidth = w;
    map.tileHeight = h;

    tiled::Tileset chipTiles;
    chipTiles.firstGid = 1;
    chipTiles.name = "chips";
    chipTiles.tileWidth = w;
    chipTiles.tileHeight = h;
    chipTiles.tileCount = chips.count();
    chipTiles.columns = chips.columns();
    chipTiles.image = images.chips;
    chipTiles.imageWidth = chips.imageWidth();
    chipTiles.imageHeight = chips.imageHeight();

    tiled::Tileset kindTiles;
    kindTiles.firstGid = static_cast<std::uint32_t>(chips.count()) + 1;
    kindTiles.name = "attributes";
    kindTiles.tileWidth = w;
    kindTiles.tileHeight = h;
    kindTiles.tileCount = kKindTiles;
    kindTiles.columns = kKindColumns;
    kindTiles.image = images.kinds;
    kindTiles.imageWidth = kKindColumns * w;
    kindTiles.imageHeight = kKindTiles / kKindColumns * h;
    for (int i = 0; i < kKindTiles && kinds.hasRecord(i); ++i) {
        kindTiles.tiles.push_back({i, kindProperties(kinds.records()[i])});
    }

    tiled::Layer chipLayer{1, "chips", 1, {}};
    tiled::Layer kindLayer{2, "attributes", 0.5, {}};
    const std::size_t count = static_cast<std::size_t>(map.width) * map.height;
    chipLayer.gids.resize(count);
    kindLayer.gids.resize(count);
    for (int r = 0; r < map.height; ++r) {
        const std::int32_t* chipCells = grid.rowCells(MapGrid::kChipLayer, r);
        const std::int32_t* kindCells = grid.rowCells(MapGrid::kKindLayer, r);
        for (int c = 0; c < map.width; ++c) {
            const std::size_t i = std::size_t(r) * map.width + c;
            const std::int32_t chip = chipCells[c], kind = kindCells[c];
            if (chip != MapGrid::kEmptyChip && !chips.isChip(chip)) {
                error = cellPlace("chips", i, map.width) + " holds chip " + std::to_string(chip) +
                        ", which the chip image (" + std::to_string(chips.count()) +
                        " chips) does not have";
                return false;
            }
            if (kind < 0 || kind >= kKindTiles) {
                error = cellPlace("attributes", i, map.width) + " holds attribute " +
                        std::to_string(kind) + "; Tiled gets the attributes 0 to 99";
                return false;
            }
            chipLayer.gids[i] = static_cast<std::uint32_t>(chip + 1);
            kindLayer.gids[i] = kindTiles.firstGid + static_cast<std::uint32_t>(kind);
        }
    }
    map.tilesets = {std::move(chipTiles), std::move(kindTiles)};
    map.layers.push_back(std::move(chipLayer));
    map.layers.push_back(std::move(kindLayer));
    return true;
}

platform::Outcome<bool> toTiled(const MapGrid& grid, const ChipSet& chips, const KindTable& kinds,
                                const Images& images, tiled::Map& map) {
    return platform::outcomeOf(
        [&](std::string& why) { return makeTiled(grid, chips, kinds, images, map, why); });
}

bool drawKindImage(const KindTable& kinds, int chipWidth, int chipHeight, CNxSurface& image) {
    if (!image.Create(kKindColumns * chipWidth, -(kKindTiles / kKindColumns * chipHeight))) {
        return false;
    }
    for (int i = 0; i < kKindTiles; ++i) {
        std::uint32_t colour = MapRenderer::kEmptyCellColour;
        if (kinds.hasRecord(i)) {
            const KindRecord& r = kinds.records()[i];
            colour =
                0xFF000000u | std::uint32_t(r.red) << 16 | std::uint32_t(r.green) << 8 | r.blue;
        }
        image.Fill(i % kKindColumns * chipWidth, i / kKindColumns * chipHeight, chipWidth,
                   chipHeight, colour);
    }
    return true;
}

static bool takeTiled(const tiled::Map& map, MapGrid& grid, KindTable* kinds, std::string& error) {
    // Each tileset's GIDs reach up to the next first GID and no further than its count.
    std::vector<Range> ranges(map.tilesets.size());
    for (std::size_t i = 0; i < map.tilesets.size(); ++i) {
        const tiled::Tileset& t = map.tilesets[i];
        std::int64_t end = tiled::detail::kMaxGid;
        for (const tiled::Tileset& other : map.tilesets) {
            if (other.firstGid > t.firstGid) {
                end = std::min<std::int64_t>(end, other.firstGid);
            }
        }
        if (t.tileCount > 0) {
            end = std::min<std::int64_t>(end, t.firstGid + t.tileCount);
        }
        ranges[i] = {t.firstGid, end};
    }
    int chipSet = -1, kindSet = -1;
    for (int i = 0; i < static_cast<int>(map.tilesets.size()); ++i) {
        const std::string& name = map.tilesets[i].name;
        if (name == "attributes") {
            kindSet = kindSet < 0 ? i : kindSet;
        } else if (name == "chips" && (chipSet < 0 || map.tilesets[chipSet].name != "chips")) {
            chipSet = i;
        } else if (chipSet < 0) {
            chipSet = i;
        }
    }

    MapGrid::Layer chipCells, kindCells;
    if (!layerCells(map, map.layers[0], ranges, chipSet, "chip", MapGrid::kEmptyChip, chipCells,
                    error)) {
        return false;
    }
    if (map.layers.size() > 1) {
        if (!layerCells(map, map.layers[1], ranges, kindSet, "attribute", MapGrid::kDefaultKind,
                        kindCells, error)) {
            return false;
        }
    } else {
        kindCells.assign(map.height, MapGrid::Row(map.width, MapGrid::kDefaultKind));
    }

    if (kinds != nullptr) {
        if (kindSet < 0) {
            error = "the map has no tileset \"attributes\" to make an attribute file of";
            return false;
        }
        const tiled::Tileset& t = map.tilesets[kindSet];
        const std::int64_t count = t.tileCount > 0 ? t.tileCount : kKindTiles;
        if (count > kMaxKindRecords) {
            error = "tileset \"attributes\": " + std::to_string(count) +
                    " tiles; an attribute file holds at most 10000 attributes";
            return false;
        }
        std::vector<KindRecord> records(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < records.size(); ++i) {
            records[i].number = static_cast<std::int32_t>(i);
        }
        for (const tiled::Tile& tile : t.tiles) {
            for (const tiled::Property& p : tile.properties) {
                if (tile.id < count && !applyProperty(p, records[tile.id], error)) {
                    error =
                        "tileset \"attributes\", tile " + std::to_string(tile.id) + ": " + error;
                    return false;
                }
            }
        }
        kinds->assign(std::move(records));
    }
    grid.setChipSize(map.tileWidth, map.tileHeight);
    grid.assign(std::move(chipCells), std::move(kindCells), map.width, map.height);
    return true;
}

platform::Outcome<bool> fromTiled(const tiled::Map& map, MapGrid& grid, KindTable* kinds) {
    return platform::outcomeOf([&](std::string& why) { return takeTiled(map, grid, kinds, why); });
}

}  // namespace tiledconvert
