#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "map/MapGrid.h"

// The cells of one layer that an edit changed, with the values they held before, kept so that
// the edit can be undone without a copy of the whole layer. A row where most cells changed
// keeps its old cells whole instead, which is then the smaller of the two, so the record never
// grows much beyond one copy of the layer.
class CellChanges {
public:
    struct Change {
        std::int32_t column;
        std::int32_t before;
    };

    // Adds the changes of one row (columns ascending), given the row's cells as they are now.
    void addRow(int row, const std::vector<Change>& changes, const std::int32_t* cellsNow,
                int columns);
    // Gives back the slack of the growing record once the edit is complete.
    void finish();

    bool empty() const { return m_rows.empty(); }

    // Puts the old values back into the layer. Rows that no longer fit the map are skipped.
    void restore(MapGrid& grid, int layer) const;

    // Calls f(row) for every row that holds a change, in ascending order.
    template <typename F>
    void forEachRow(F f) const {
        for (const RowEntry& entry : m_rows) {
            f(entry.row);
        }
    }

    // Calls f(row, first, last) for every row that holds a change, in ascending order, with the
    // first and last column changed (a row kept whole: its first and last cell).
    template <typename F>
    void forEachSpan(F f) const {
        for (const RowEntry& entry : m_rows) {
            if (entry.whole) {
                f(entry.row, 0, entry.count - 1);
            } else {
                const std::int32_t* pairs = m_pool.data() + entry.offset;
                f(entry.row, pairs[0], pairs[2 * (entry.count - 1)]);
            }
        }
    }

    // The heap this record holds.
    std::size_t heapBytes() const;

private:
    struct RowEntry {
        std::int32_t row;
        std::int32_t count;    // changes, or cells of a whole row
        std::uint32_t offset;  // into m_pool, which holds at most one layer of cells
        bool whole;
    };

    std::vector<RowEntry> m_rows;
    std::vector<std::int32_t> m_pool;  // column and old value pairs, or whole old rows
};
