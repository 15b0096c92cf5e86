#pragma once

#include <string>

class MapGrid;

// What changed in the map, told after the change, so that a listener can read the cells as they
// are now. The rectangle of a cell change lies within the map.
struct MapChange {
    enum class Kind {
        Started,  // a whole map: new, loaded, saved (the map is then its file) or taken
        Cells,
        InsertRows,
        RemoveRows,
        InsertColumns,
        RemoveColumns,
        Resized,   // a new canvas size: cells beyond it dropped, new cells blank
        ChipSize,  // a new chip size
    };
    enum class Origin { New, Loaded, Saved, Taken };

    Kind kind = Kind::Cells;
    int layer = 0;  // Cells
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int at = 0;  // rows or columns: the first inserted or removed, and how many
    int count = 0;
    Origin origin = Origin::New;  // Started: where the map came from, and its file
    std::string path;
};

// Told of every change of the map screen's map, in order. modified: whether the map now differs
// from its file (or from the new map it was made as).
class MapChangeListener {
public:
    virtual ~MapChangeListener() = default;
    virtual void mapChanged(const MapGrid& grid, const MapChange& change, bool modified) = 0;
};
