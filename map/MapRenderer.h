#pragma once

#include <cstdint>

#include "grid/Zoom.h"

class ChipSet;
class CNxSurface;
class KindTable;
class MapGrid;

// Draws the part of a map that a window shows into a 32-bit surface, from the surface's top-left:
// the chip view (each cell's chip from the chip image) or the attribute view (each cell in its
// attribute's colour). Only the visible cells are drawn; the window beyond the map is black.
class MapRenderer {
public:
    // Cells that show no chip of the image, and attribute numbers without a record.
    static constexpr std::uint32_t kEmptyCellColour = 0xFFBEBEBE;
    static constexpr std::uint32_t kBeyondMapColour = 0xFF000000;

    struct View {
        int x = 0;  // the map pixel at the window's top-left
        int y = 0;
        int cellWidth = 32;  // map pixels
        int cellHeight = 32;
        int width = 0;  // the window in screen pixels, cut to the surface
        int height = 0;
        // Screen pixels per map pixel: from 1 up, each map pixel is a num × num block; below 1,
        // screen pixel (X, Y) shows the area average of the den × den map pixels from
        // (x + X·den, y + Y·den).
        Zoom zoom;
    };

    // The first visible column and row start as far into their cells as the view is past a
    // cell boundary. chips null, or cut into chips of another size than the view's cells: every
    // cell is empty.
    static void drawChips(CNxSurface& target, const MapGrid& grid, const ChipSet* chips,
                          const View& view);
    // Whole cells from the window's edge, whatever the view's offset into its first cell: the
    // zoom applies to the map from the first visible cell's corner (below 1, each screen pixel
    // the colours of the cells under its den × den map pixels, weighted by area). table null:
    // every cell is empty.
    static void drawAttributes(CNxSurface& target, const MapGrid& grid, const KindTable* table,
                               const View& view);
};
