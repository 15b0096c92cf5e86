#include "map/CellChanges.h"

#include <algorithm>

void CellChanges::addRow(int row, const std::vector<Change>& changes, const std::int32_t* cellsNow,
                         int columns) {
    if (changes.empty()) {
        return;
    }
    RowEntry entry{row, 0, static_cast<std::uint32_t>(m_pool.size()), false};
    // A pair costs two cells, so past half the row the whole old row is smaller.
    if (changes.size() * 2 > static_cast<std::size_t>(columns)) {
        entry.whole = true;
        entry.count = columns;
        m_pool.insert(m_pool.end(), cellsNow, cellsNow + columns);
        std::int32_t* old = m_pool.data() + entry.offset;
        for (const Change& change : changes) {
            old[change.column] = change.before;
        }
    } else {
        entry.count = static_cast<std::int32_t>(changes.size());
        for (const Change& change : changes) {
            m_pool.push_back(change.column);
            m_pool.push_back(change.before);
        }
    }
    m_rows.push_back(entry);
}

void CellChanges::finish() {
    m_pool.shrink_to_fit();
    m_rows.shrink_to_fit();
}

void CellChanges::restore(MapGrid& grid, int layer) const {
    for (const RowEntry& entry : m_rows) {
        if (entry.row >= grid.rows()) {
            continue;
        }
        std::int32_t* cells = grid.rowCells(layer, entry.row);
        const std::int32_t* stored = m_pool.data() + entry.offset;
        if (entry.whole) {
            if (entry.count == grid.columns()) {
                std::copy_n(stored, entry.count, cells);
            }
            continue;
        }
        for (std::int32_t i = 0; i < entry.count; ++i) {
            const std::int32_t column = stored[2 * i];
            if (column < grid.columns()) {
                cells[column] = stored[2 * i + 1];
            }
        }
    }
}

std::size_t CellChanges::heapBytes() const {
    return m_rows.capacity() * sizeof(RowEntry) + m_pool.capacity() * sizeof(std::int32_t);
}
