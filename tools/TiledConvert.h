#pragma once

#include <string>

#include "tools/TiledMap.h"

class ChipSet;
class CNxSurface;
class KindTable;
class MapGrid;

// The editor's map and attribute table in Tiled's terms and back.
//
//   chip layer "chips"            GID = chip number + 1 in tileset "chips"; an empty cell (-1) is 0
//   attribute layer "attributes"  GID = first GID of tileset "attributes" + attribute number,
//                                 drawn at opacity 0.5
//   tileset "chips"               the chip image cut as the chip window cuts it
//   tileset "attributes"          a picture of the 100 attribute colours, 25 across; tile n
//                                 carries record n: memo (string), passable and dropThrough
//                                 (bool), hitLeft, hitTop, hitRight, hitBottom and z (int),
//                                 colour (color)
namespace tiledconvert {

constexpr int kKindTiles = 100;
constexpr int kKindColumns = 25;

struct Images {
    std::string chips;  // as the map file names them
    std::string kinds;
};

// The map as Tiled holds it. Refused, the reason naming the first such cell, when a cell holds
// a chip the chip set does not have or an attribute outside 0 … 99: Tiled has no tile for it.
platform::Outcome<bool> toTiled(const MapGrid& grid, const ChipSet& chips, const KindTable& kinds,
                                const Images& images, tiled::Map& map);

// The picture of tileset "attributes": each attribute's square in its colour, grey for a
// number without a record, as the attribute view shows it.
bool drawKindImage(const KindTable& kinds, int chipWidth, int chipHeight, CNxSurface& image);

// The map (and, when kinds is given, the attribute table) from a map that the readers gave.
// GIDs go back through their tileset's first GID. Refused, the reason naming the place: flipped
// or rotated tiles, GIDs of no tileset or of a tileset other than the layer's, property values
// of the wrong kind, and kinds asked for without a tileset "attributes".
platform::Outcome<bool> fromTiled(const tiled::Map& map, MapGrid& grid, KindTable* kinds);

}  // namespace tiledconvert
