#pragma once

#include <cstdint>
#include <string>

#include "grid/Zoom.h"
#include "platform/Outcome.h"

class ChipSet;
class CNxSurface;
class KindTable;
class MapGrid;

// A picture of the map, or of a rectangle of its cells, drawn by the map screen's own renderer
// as the map window shows those cells with the view at the rectangle's top-left: the chip view
// or the attribute view, at a zoom, and the grid in the map window's default colour on request.
// No cursor and no selection.
namespace picture {

struct Region {
    int column = 0;
    int row = 0;
    int columns = 0;
    int rows = 0;
};

struct Style {
    bool attributes = false;  // the attribute view rather than the chip view
    bool grid = false;
    Zoom zoom;
};

// "X,Y,W,H" in cells: whole numbers, the width and height at least 1.
bool parseRegion(const std::string& text, Region& region, std::string& error);
// A zoom step as a fraction or a decimal: "1/8" or "0.125", "2".
bool parseScale(const std::string& text, Zoom& zoom, std::string& error);

// The picture's side for length map pixels at zoom: rounded down, at least 1.
std::int64_t pictureSide(std::int64_t length, Zoom zoom);

// Whether region lies within the map and its picture, with cells of cellWidth × cellHeight
// pixels at zoom, keeps to the drawing library's limits (CNxDIBImage's); error says what is
// wrong. Nothing is allocated.
bool check(const MapGrid& grid, const Region& region, int cellWidth, int cellHeight, Zoom zoom,
           std::string& error);

// Draws region (already checked) into target, which is created at the picture's size, top-down.
// chips null or kinds null: their cells are empty, as in the map window without them.
bool draw(CNxSurface& target, const MapGrid& grid, const ChipSet* chips, const KindTable* kinds,
          const Region& region, int cellWidth, int cellHeight, const Style& style);

// What render does once the region is checked: draws it into a new surface, encodes it as PNG
// and writes it to path as a whole. The one notice of a failure says what failed.
platform::Outcome<bool> writePng(const std::string& path, const MapGrid& grid, const ChipSet* chips,
                                 const KindTable* kinds, const Region& region, int cellWidth,
                                 int cellHeight, const Style& style);

}  // namespace picture
