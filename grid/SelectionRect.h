#pragma once

#include <algorithm>

// A rectangle of cells held as a selection is: the anchor (x1, y1), where the user started,
// and the moving corner (x2, y2), either way round. Undo shows a selection again with its
// corners in the order they were dragged, so the order is kept rather than normalised.
struct SelectionRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    static SelectionRect cell(int column, int row) { return {column, row, column, row}; }

    int left() const { return std::min(x1, x2); }
    int top() const { return std::min(y1, y2); }
    int right() const { return std::max(x1, x2); }
    int bottom() const { return std::max(y1, y2); }
    int width() const { return right() - left() + 1; }
    int height() const { return bottom() - top() + 1; }
    bool isOneCell() const { return x1 == x2 && y1 == y2; }

    bool operator==(const SelectionRect& o) const {
        return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2;
    }
    bool operator!=(const SelectionRect& o) const { return !(*this == o); }
};
