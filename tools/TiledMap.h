#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "platform/Outcome.h"

namespace decimal {
struct Layout;
}

// A map in the terms of the Tiled map editor's two formats, TMX (XML) and TMJ (JSON), as far
// as the editor's maps need them: an orthogonal, finite map of tile layers over tilesets.
namespace tiled {

struct Property {
    enum class Type { String, Bool, Int, Color };
    std::string name;
    Type type = Type::String;
    std::string value;  // as TMX writes it: the text, "true", "12", "#ff102030"
};

struct Tile {
    int id = 0;
    std::vector<Property> properties;  // sorted by name, as Tiled writes them
};

struct Tileset {
    std::uint32_t firstGid = 1;
    std::string name;
    int tileWidth = 0;
    int tileHeight = 0;
    std::int64_t tileCount = 0;  // 0 when a read tileset does not say
    int columns = 0;
    std::string image;  // relative to the map file
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<Tile> tiles;  // those with properties, by id
};

struct Layer {
    int id = 0;
    std::string name;
    double opacity = 1;
    std::vector<std::uint32_t> gids;  // width × height of the map, row by row
};

struct Map {
    int width = 0;  // in tiles
    int height = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    std::vector<Tileset> tilesets;
    // Written: every layer. Read: the chip layer (the first tile layer named "chips", else the
    // first tile layer), then the attribute layer (the first named "attributes") if there is one.
    std::vector<Layer> layers;
};

// Flags in a GID's top bits: flipped horizontally, vertically, diagonally, rotated (hexagonal).
constexpr std::uint32_t kFlipBits = 0xF0000000u;

std::string writeTmx(const Map& map);
std::string writeTmj(const Map& map);

// Reads a map. folder is where tileset files named by the map are looked for. Refused, the
// reason naming the place: damaged text, infinite maps, other orientations, sizes outside 1 …
// 5000 tiles or 16 … 64 pixels, tilesets that cannot be read, data in zstd or of another
// length than the layer. readTmx parses in the text it is given, so callers move it in.
platform::Outcome<bool> readTmx(std::string text, const std::string& folder, Map& map);
platform::Outcome<bool> readTmj(const std::string& text, const std::string& folder, Map& map);
// The same from JSON already parsed.
platform::Outcome<bool> readTmj(const nlohmann::json& root, const std::string& folder, Map& map);

// Whether text is XML (TMX, TSX) rather than JSON: its first character past white space and a
// byte-order mark is "<".
bool isXml(const std::string& text);

// The parts both readers share.
namespace detail {

// GIDs lie below the flag bits.
constexpr std::int64_t kMaxGid = 0x10000000;

// Picks the chip and attribute layers among the tile layers, named in document order, and has
// decode read the data of each picked one (by its index) into the layer given.
bool readPickedLayers(const std::vector<std::string>& names,
                      const std::function<bool(int, Layer&, std::string&)>& decode, Map& map,
                      std::string& error);

// Checks the map's size and tile size.
bool checkMap(const Map& map, std::string& error);

// Decodes base64 layer data (uncompressed, "zlib" or "gzip") into exactly count GIDs.
bool decodeBase64(const char* text, std::size_t size, const std::string& compression,
                  std::size_t count, std::vector<std::uint32_t>& gids, std::string& error);

// Reads comma-separated GIDs (white space allowed around them) into exactly count GIDs.
bool decodeCsv(const char* text, std::size_t size, std::size_t count,
               std::vector<std::uint32_t>& gids, std::string& error);

// A property type as Tiled names it, and the type a name stands for (String for any other).
const char* typeName(Property::Type type);
Property::Type typeOf(const std::string& name);

// "the data hold TILES tiles where the layer has COUNT", part saying that a part of one more
// follows the tiles.
std::string tileCountError(std::size_t tiles, std::size_t count, bool part = false);

// skeleton with each layer's GIDs, in layer order, put in before the last character of the
// next marker (and skip characters after it dropped): all in one row, or in rows of the map's
// width, laid out as layout says. Writing them into the text straight saves a tree or a string
// per value, which would hold millions of GIDs several times over.
std::string spliceLayers(const std::string& skeleton, const std::string& marker, const Map& map,
                         bool oneRow, const decimal::Layout& layout, std::size_t skip);

// "layer "NAME"" for messages.
std::string layerPlace(const std::string& name);

// Reads a whole file next to the map (at most 64 MiB).
bool readBeside(const std::string& folder, const std::string& source, std::string& text);

// A tileset file that a map names (TSX, or JSON), all but its first GID.
bool readExternalTileset(const std::string& folder, const std::string& source, Tileset& tileset,
                         std::string& error);
// A tileset held in JSON text, as a TSJ file holds it.
bool tilesetFromJsonText(const std::string& text, Tileset& tileset, std::string& error);

}  // namespace detail

}  // namespace tiled
