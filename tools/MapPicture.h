#pragma once

#include <string>

class ChipSet;
class CNxSurface;
class KindTable;
class MapGrid;

// A picture of the map, or of a rectangle of its cells, drawn by the map screen's own renderer
// as the map window shows those cells with the view at the rectangle's top-left: the chip view
// or the attribute view, and the grid in the map window's default colour on request. No cursor
// and no selection.
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
};

// "X,Y,W,H" in cells: whole numbers, the width and height at least 1.
bool parseRegion(const std::string& text, Region& region, std::string& error);

// Whether region lies within the map and its picture, with cells of cellWidth × cellHeight
// pixels, keeps to the drawing library's limits (CNxDIBImage's); error says what is wrong.
// Nothing is allocated.
bool check(const MapGrid& grid, const Region& region, int cellWidth, int cellHeight,
           std::string& error);

// Draws region (already checked) into target, which is created at the picture's size, top-down.
// chips null or kinds null: their cells are empty, as in the map window without them.
bool draw(CNxSurface& target, const MapGrid& grid, const ChipSet* chips, const KindTable* kinds,
          const Region& region, int cellWidth, int cellHeight, const Style& style);

}  // namespace picture
