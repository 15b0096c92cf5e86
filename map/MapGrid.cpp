#include "map/MapGrid.h"

void MapGrid::setChipSize(int width, int height) {
    m_chipWidth = width;
    m_chipHeight = height;
}

void MapGrid::reset(int columns, int rows) {
    m_chipLayer.assign(rows, Row(columns, kEmptyChip));
    m_kindLayer.assign(rows, Row(columns, kDefaultKind));
    m_columns = columns;
    m_rows = rows;
}

bool MapGrid::assign(Layer chips, Layer kinds, int columns, int rows) {
    if (columns < 0 || rows < 0 || chips.size() != static_cast<std::size_t>(rows) ||
        kinds.size() != static_cast<std::size_t>(rows)) {
        return false;
    }
    for (int r = 0; r < rows; ++r) {
        if (chips[r].size() != static_cast<std::size_t>(columns) ||
            kinds[r].size() != static_cast<std::size_t>(columns)) {
            return false;
        }
    }
    m_chipLayer = std::move(chips);
    m_kindLayer = std::move(kinds);
    m_columns = columns;
    m_rows = rows;
    return true;
}
