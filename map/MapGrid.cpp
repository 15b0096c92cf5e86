#include "map/MapGrid.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

namespace {

// Makes room for count cells before at and fills them from values, or with fill when values is
// null. A row without the room is rebuilt at exactly its new size: letting the vector double
// would leave a 5000-column map holding twice its memory after one inserted column.
void spliceRow(MapGrid::Row& row, std::size_t at, std::size_t count, const std::int32_t* values,
               std::int32_t fill) {
    const std::size_t oldSize = row.size();
    const std::size_t newSize = oldSize + count;
    if (row.capacity() < newSize) {
        MapGrid::Row grown(newSize);  // every cell is written just below
        std::int32_t* out = grown.data();
        if (at > 0) {
            std::memcpy(out, row.data(), at * sizeof(std::int32_t));
        }
        if (oldSize > at) {
            std::memcpy(out + at + count, row.data() + at, (oldSize - at) * sizeof(std::int32_t));
        }
        row.swap(grown);
        if (values == nullptr) {
            std::fill_n(row.data() + at, count, fill);
        }
    } else {
        row.insert(row.begin() + at, count, fill);
    }
    if (values != nullptr && count > 0) {
        std::memcpy(row.data() + at, values, count * sizeof(std::int32_t));
    }
}

// at … at + count − 1 lies within 0 … size − 1.
bool isRange(int at, int count, int size) {
    return at >= 0 && count >= 0 && at <= size && count <= size - at;
}

// count new lines can go before line at of size lines without overflowing the count.
bool isInsertion(int at, std::size_t count, int size) {
    return at >= 0 && at <= size && count <= static_cast<std::size_t>(INT_MAX - size);
}

}  // namespace

void MapGrid::setChipSize(int width, int height) {
    m_chipWidth = width;
    m_chipHeight = height;
}

void MapGrid::reset(int columns, int rows) {
    m_layers[kChipLayer].assign(rows, Row(columns, kEmptyChip));
    m_layers[kKindLayer].assign(rows, Row(columns, kDefaultKind));
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
    m_layers[kChipLayer] = std::move(chips);
    m_layers[kKindLayer] = std::move(kinds);
    m_columns = columns;
    m_rows = rows;
    return true;
}

bool MapGrid::insertRows(int at, int count) {
    if (count < 0 || !isInsertion(at, count, m_rows)) {
        return false;
    }
    for (int l : {kChipLayer, kKindLayer}) {
        m_layers[l].insert(m_layers[l].begin() + at, count, Row(m_columns, blankCell(l)));
    }
    m_rows += count;
    return true;
}

bool MapGrid::insertRows(int at, Layer&& chips, Layer&& kinds) {
    if (chips.size() != kinds.size() || !isInsertion(at, chips.size(), m_rows)) {
        return false;
    }
    for (std::size_t r = 0; r < chips.size(); ++r) {
        if (chips[r].size() != static_cast<std::size_t>(m_columns) ||
            kinds[r].size() != static_cast<std::size_t>(m_columns)) {
            return false;
        }
    }
    const int count = static_cast<int>(chips.size());
    m_layers[kChipLayer].insert(m_layers[kChipLayer].begin() + at,
                                std::make_move_iterator(chips.begin()),
                                std::make_move_iterator(chips.end()));
    m_layers[kKindLayer].insert(m_layers[kKindLayer].begin() + at,
                                std::make_move_iterator(kinds.begin()),
                                std::make_move_iterator(kinds.end()));
    chips.clear();
    kinds.clear();
    m_rows += count;
    return true;
}

bool MapGrid::removeRows(int at, int count, Layer* chips, Layer* kinds) {
    if (!isRange(at, count, m_rows)) {
        return false;
    }
    Layer* out[2] = {chips, kinds};
    for (int l : {kChipLayer, kKindLayer}) {
        const auto first = m_layers[l].begin() + at;
        const auto last = first + count;
        if (out[l] != nullptr) {
            out[l]->assign(std::make_move_iterator(first), std::make_move_iterator(last));
        }
        m_layers[l].erase(first, last);
    }
    m_rows -= count;
    return true;
}

bool MapGrid::insertColumns(int at, int count) {
    if (count < 0 || !isInsertion(at, count, m_columns)) {
        return false;
    }
    for (int l : {kChipLayer, kKindLayer}) {
        for (Row& row : m_layers[l]) {
            spliceRow(row, at, count, nullptr, blankCell(l));
        }
    }
    m_columns += count;
    return true;
}

bool MapGrid::insertColumns(int at, const Layer& chips, const Layer& kinds) {
    if (chips.size() != static_cast<std::size_t>(m_rows) ||
        kinds.size() != static_cast<std::size_t>(m_rows)) {
        return false;
    }
    const std::size_t width = m_rows > 0 ? chips[0].size() : 0;
    for (int r = 0; r < m_rows; ++r) {
        if (chips[r].size() != width || kinds[r].size() != width) {
            return false;
        }
    }
    if (!isInsertion(at, width, m_columns)) {
        return false;
    }
    const Layer* in[2] = {&chips, &kinds};
    for (int l : {kChipLayer, kKindLayer}) {
        for (int r = 0; r < m_rows; ++r) {
            spliceRow(m_layers[l][r], at, width, (*in[l])[r].data(), 0);
        }
    }
    m_columns += static_cast<int>(width);
    return true;
}

bool MapGrid::removeColumns(int at, int count, Layer* chips, Layer* kinds) {
    if (!isRange(at, count, m_columns)) {
        return false;
    }
    Layer* out[2] = {chips, kinds};
    for (int l : {kChipLayer, kKindLayer}) {
        if (out[l] != nullptr) {
            out[l]->clear();
            out[l]->reserve(m_rows);
        }
        for (Row& row : m_layers[l]) {
            const auto first = row.begin() + at;
            const auto last = first + count;
            if (out[l] != nullptr) {
                out[l]->emplace_back(first, last);
            }
            row.erase(first, last);
        }
    }
    m_columns -= count;
    return true;
}

bool MapGrid::resizeCanvas(int columns, int rows) {
    if (columns < 0 || rows < 0) {
        return false;
    }
    for (int l : {kChipLayer, kKindLayer}) {
        Layer& layer = m_layers[l];
        const std::int32_t blank = blankCell(l);
        if (static_cast<std::size_t>(rows) < layer.size()) {
            layer.erase(layer.begin() + rows, layer.end());
        }
        for (Row& row : layer) {
            if (static_cast<std::size_t>(columns) > row.size()) {
                row.reserve(columns);
                row.resize(columns, blank);
            } else {
                row.resize(columns, blank);
                // A row cut to a fraction of its width gives the rest of its memory back.
                if (row.capacity() > 2 * row.size()) {
                    row.shrink_to_fit();
                }
            }
        }
        layer.reserve(rows);
        while (layer.size() < static_cast<std::size_t>(rows)) {
            layer.emplace_back(columns, blank);
        }
    }
    m_columns = columns;
    m_rows = rows;
    return true;
}

MapGrid::Layer MapGrid::readRect(int layer, int column, int row, int width, int height) const {
    Layer block;
    if (column < 0 || row < 0 || width <= 0 || height <= 0) {
        return block;
    }
    const int lastRow = std::min(row + std::min(height, m_rows), m_rows);
    const int lastColumn = std::min(column + std::min(width, m_columns), m_columns);
    if (row >= lastRow) {
        return block;
    }
    block.reserve(lastRow - row);
    for (int r = row; r < lastRow; ++r) {
        const Row& cells = m_layers[layer][r];
        if (column < lastColumn) {
            block.emplace_back(cells.begin() + column, cells.begin() + lastColumn);
        } else {
            block.emplace_back();
        }
    }
    return block;
}

void MapGrid::writeRect(int layer, int column, int row, const Layer& block, int width, int height) {
    if (column < 0 || row < 0 || column >= m_columns) {
        return;
    }
    const std::size_t rowsToWrite =
        std::min({block.size(), static_cast<std::size_t>(std::max(height, 0)),
                  static_cast<std::size_t>(std::max(m_rows - row, 0))});
    for (std::size_t i = 0; i < rowsToWrite; ++i) {
        const std::size_t count =
            std::min({block[i].size(), static_cast<std::size_t>(std::max(width, 0)),
                      static_cast<std::size_t>(m_columns - column)});
        if (count > 0) {
            std::memcpy(m_layers[layer][row + i].data() + column, block[i].data(),
                        count * sizeof(std::int32_t));
        }
    }
}
