// Random edits, undos and redos applied both to the editor and to a deliberately plain model of
// the map (nested vectors, whole snapshots for its history), compared after every step.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "map/EditHistory.h"
#include "map/MapEditor.h"

namespace {

using Cells = std::vector<std::vector<int>>;

struct Snapshot {
    Cells layers[2];
};

int blank(int layer) {
    return layer == 0 ? -1 : 0;
}

// The map, its copy buffers and its history, written the obvious way.
struct Model {
    struct Entry {
        Snapshot before, after;
        bool shape;
        int cursorColumn, cursorRow, layer;
        bool showSelection;
        int x1, y1, x2, y2;
    };

    Snapshot map;
    Cells buffers[2];
    std::vector<Entry> history;
    std::size_t position = 0;

    int rows() const { return static_cast<int>(map.layers[0].size()); }
    int columns() const { return rows() == 0 ? 0 : static_cast<int>(map.layers[0][0].size()); }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < columns() && y < rows(); }
    int& at(int layer, int x, int y) { return map.layers[layer][y][x]; }

    void record(const Snapshot& before, Entry entry) {
        entry.before = before;
        entry.after = map;
        history.resize(position);
        history.push_back(entry);
        if (history.size() > 10) {
            history.erase(history.begin());
        }
        position = history.size();
    }
    void clearBuffers() {
        buffers[0].clear();
        buffers[1].clear();
    }
};

// What the map screen keeps beside the grid, and the editor's state.
struct Screen {
    MapGrid grid;
    EditHistory history;
    MapGrid::Layer buffers[2];
    EditPlace place;

    void apply(const EditHistory::Restore& restore) {
        place.cursorColumn = restore.cursorColumn;
        place.cursorRow = restore.cursorRow;
        place.layer = restore.editLayer;
        place.selection = restore.selection;
        if (restore.shapeChanged) {
            buffers[0].clear();
            buffers[1].clear();
        }
    }
};

class EditModelRun {
public:
    explicit EditModelRun(unsigned seed) : m_random(seed) {
        const int columns = pick(1, 8), rows = pick(1, 8);
        m_screen.grid.reset(columns, rows);
        for (int l = 0; l < 2; ++l) {
            m_model.map.layers[l].assign(rows, std::vector<int>(columns, blank(l)));
        }
    }

    void step() {
        const int what = pick(0, 99);
        if (what < 12) {
            undo();
        } else if (what < 20) {
            redo();
        } else {
            edit();
        }
        compare();
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // A cursor inside the map, a selection dragged to it half of the time, either layer.
    void placeCursor() {
        EditPlace& place = m_screen.place;
        place = EditPlace();
        place.layer = pick(0, 1);
        place.cursorColumn = pick(0, m_model.columns() - 1);
        place.cursorRow = pick(0, m_model.rows() - 1);
        if (pick(0, 1) == 0) {
            const int x1 = pick(0, m_model.columns() - 1), y1 = pick(0, m_model.rows() - 1);
            place.selection = SelectionRect{x1, y1, place.cursorColumn, place.cursorRow};
        }
    }

    void edit() {
        placeCursor();
        const EditPlace place = m_screen.place;
        const int cx = place.cursorColumn, cy = place.cursorRow, layer = place.layer;
        const bool shown = place.selection.has_value();
        const SelectionRect area = place.area();
        const int left = area.left(), right = area.right(), top = area.top(),
                  bottom = area.bottom();
        const bool oneCell = left == right && top == bottom;

        const Snapshot before = m_model.map;
        Model::Entry entry{};
        entry.cursorColumn = cx;
        entry.cursorRow = cy;
        entry.layer = layer;
        entry.showSelection = shown;
        entry.x1 = area.x1;
        entry.y1 = area.y1;
        entry.x2 = cx;
        entry.y2 = cy;
        bool records = true;
        EditResult result;

        const int op = pick(0, 9);
        if (op <= 1) {  // put a value: the cursor cell, or every cell of the selection
            const int value = pick(-1, 4);
            result = MapEditor::put(m_screen.grid, place, value);
            entry.showSelection = true;
            for (int y = top; y <= bottom; ++y) {
                for (int x = left; x <= right; ++x) {
                    m_model.at(layer, x, y) = value;
                }
            }
        } else if (op == 2) {  // a chip block, stamped or tiled
            const int chipColumns = 6;
            const int c1 = pick(0, 5), c2 = pick(0, 5), r1 = pick(0, 3), r2 = pick(0, 3);
            const ChipBlock block{{c1, r1, c2, r2}, chipColumns};
            const int bx = std::min(c1, c2), by = std::min(r1, r2);
            const int bw = std::abs(c2 - c1) + 1, bh = std::abs(r2 - r1) + 1;
            result = MapEditor::put(m_screen.grid, place, 0, &block);
            if (layer != 0) {
                for (int y = top; y <= bottom; ++y) {
                    for (int x = left; x <= right; ++x) {
                        m_model.at(layer, x, y) = 0;
                    }
                }
                entry.showSelection = true;
            } else if (oneCell) {
                for (int i = 0; i < bh; ++i) {
                    for (int j = 0; j < bw; ++j) {
                        if (m_model.inside(cx + j, cy + i)) {
                            m_model.at(0, cx + j, cy + i) = (by + i) * chipColumns + bx + j;
                        }
                    }
                }
                entry.showSelection = false;
            } else {
                for (int y = top; y <= bottom; ++y) {
                    for (int x = left; x <= right; ++x) {
                        m_model.at(0, x, y) =
                            (by + (y - top) % bh) * chipColumns + bx + (x - left) % bw;
                    }
                }
                entry.showSelection = true;
            }
        } else if (op == 3) {  // copy: records nothing
            m_screen.buffers[layer] = MapEditor::copySelection(m_screen.grid, place);
            Cells& buffer = m_model.buffers[layer];
            buffer.clear();
            for (int y = top; y <= bottom; ++y) {
                buffer.emplace_back(m_model.map.layers[layer][y].begin() + left,
                                    m_model.map.layers[layer][y].begin() + right + 1);
            }
            return;
        } else if (op == 4) {  // paste
            result = MapEditor::paste(m_screen.grid, place, m_screen.buffers[layer]);
            const Cells& buffer = m_model.buffers[layer];
            records = !buffer.empty();
            entry.showSelection = !oneCell;
            if (buffer.empty()) {
            } else if (oneCell) {
                for (std::size_t i = 0; i < buffer.size(); ++i) {
                    for (std::size_t j = 0; j < buffer[i].size(); ++j) {
                        if (m_model.inside(cx + j, cy + i)) {
                            m_model.at(layer, cx + j, cy + i) = buffer[i][j];
                        }
                    }
                }
            } else {
                for (int y = top; y <= bottom; ++y) {
                    const std::vector<int>& row = buffer[(y - top) % buffer.size()];
                    for (int x = left; x <= right; ++x) {
                        m_model.at(layer, x, y) = row[(x - left) % row.size()];
                    }
                }
            }
        } else if (op == 5) {  // replace
            const int from = pick(-1, 4), to = pick(-1, 4), source = pick(0, 1),
                      target = pick(0, 1);
            result = MapEditor::replace(m_screen.grid, place, from, to, source, target);
            int found = 0;
            if (from != to || source != target) {
                for (int y = 0; y < m_model.rows(); ++y) {
                    for (int x = 0; x < m_model.columns(); ++x) {
                        if (m_model.at(source, x, y) == from) {
                            m_model.at(target, x, y) = to;
                            ++found;
                        }
                    }
                }
            }
            EXPECT_EQ(result.count, found);
            records = found > 0;
            entry.layer = target;
            if (shown) {
                entry.x1 = place.selection->x1;
                entry.y1 = place.selection->y1;
                entry.x2 = place.selection->x2;
                entry.y2 = place.selection->y2;
            }
        } else if (op <= 8) {  // rows or columns
            const bool deleting = pick(0, 1) == 1, columns = op == 8;
            result =
                MapEditor::insertOrDeleteLines(m_screen.grid, place, deleting, !columns, columns);
            // At least one column and one row must stay.
            if (deleting) {
                records = columns ? right - left + 1 < m_model.columns()
                                  : bottom - top + 1 < m_model.rows();
            }
            for (int l = 0; l < 2 && records; ++l) {
                Cells& cells = m_model.map.layers[l];
                if (columns && deleting) {
                    for (std::vector<int>& row : cells) {
                        row.erase(row.begin() + left, row.begin() + right + 1);
                    }
                } else if (columns) {
                    for (std::vector<int>& row : cells) {
                        row.insert(row.begin() + left, right - left + 1, blank(l));
                    }
                } else if (deleting) {
                    cells.erase(cells.begin() + top, cells.begin() + bottom + 1);
                } else {
                    cells.insert(cells.begin() + top, bottom - top + 1,
                                 std::vector<int>(m_model.columns(), blank(l)));
                }
            }
            if (records) {
                entry.shape = true;
                entry.showSelection = false;
                entry.cursorColumn = std::min(left, m_model.columns() - 1);
                entry.cursorRow = std::min(top, m_model.rows() - 1);
                m_model.clearBuffers();
                m_screen.buffers[0].clear();
                m_screen.buffers[1].clear();
                m_screen.place = EditPlace();
                m_screen.place.cursorColumn = result.cursorColumn;
                m_screen.place.cursorRow = result.cursorRow;
                EXPECT_EQ(result.cursorColumn, entry.cursorColumn);
                EXPECT_EQ(result.cursorRow, entry.cursorRow);
            }
        } else {  // canvas size: no step, and the history and buffers go
            const int columns = pick(1, 10), rows = pick(1, 10);
            result = MapEditor::setCanvasSize(m_screen.grid, columns, rows);
            for (int l = 0; l < 2; ++l) {
                Cells& cells = m_model.map.layers[l];
                cells.resize(rows, std::vector<int>(columns, blank(l)));
                for (std::vector<int>& row : cells) {
                    row.resize(columns, blank(l));
                }
            }
            EXPECT_FALSE(result.step);
            m_screen.history.clearHistory();
            m_model.history.clear();
            m_model.position = 0;
            m_model.clearBuffers();
            m_screen.buffers[0].clear();
            m_screen.buffers[1].clear();
            return;
        }

        ASSERT_EQ(result.step.has_value(), records) << "operation " << op;
        if (records) {
            m_screen.history.recordStep(std::move(*result.step));
            m_model.record(before, entry);
        }
    }

    void undo() {
        const bool can = m_model.position > 0;
        ASSERT_EQ(m_screen.history.canUndo(), can);
        const auto restore = m_screen.history.undo(m_screen.grid);
        ASSERT_EQ(restore.has_value(), can);
        if (!can) {
            return;
        }
        const Model::Entry& entry = m_model.history[--m_model.position];
        m_model.map = entry.before;
        follow(*restore, entry);
    }

    void redo() {
        const bool can = m_model.position < m_model.history.size();
        ASSERT_EQ(m_screen.history.canRedo(), can);
        const auto restore = m_screen.history.redo(m_screen.grid);
        ASSERT_EQ(restore.has_value(), can);
        if (!can) {
            return;
        }
        const Model::Entry& entry = m_model.history[m_model.position++];
        m_model.map = entry.after;
        follow(*restore, entry);
    }

    void follow(const EditHistory::Restore& restore, const Model::Entry& entry) {
        EXPECT_EQ(restore.cursorColumn, entry.cursorColumn);
        EXPECT_EQ(restore.cursorRow, entry.cursorRow);
        EXPECT_EQ(restore.editLayer, entry.layer);
        EXPECT_EQ(restore.shapeChanged, entry.shape);
        EXPECT_EQ(restore.selection.has_value(), entry.showSelection);
        if (entry.showSelection) {
            EXPECT_EQ(restore.selection, (SelectionRect{entry.x1, entry.y1, entry.x2, entry.y2}));
        }
        if (entry.shape) {
            m_model.clearBuffers();
        }
        m_screen.apply(restore);
    }

    void compare() {
        const MapGrid& grid = m_screen.grid;
        ASSERT_EQ(grid.columns(), m_model.columns());
        ASSERT_EQ(grid.rows(), m_model.rows());
        for (int l = 0; l < 2; ++l) {
            for (int y = 0; y < grid.rows(); ++y) {
                ASSERT_EQ(grid.layer(l)[y].size(), static_cast<std::size_t>(grid.columns()));
                for (int x = 0; x < grid.columns(); ++x) {
                    ASSERT_EQ(grid.cell(l, x, y), m_model.at(l, x, y))
                        << "layer " << l << " cell " << x << "," << y;
                }
            }
            const Cells& buffer = m_model.buffers[l];
            ASSERT_EQ(m_screen.buffers[l].size(), buffer.size());
            for (std::size_t i = 0; i < buffer.size(); ++i) {
                ASSERT_TRUE(std::equal(buffer[i].begin(), buffer[i].end(),
                                       m_screen.buffers[l][i].begin(),
                                       m_screen.buffers[l][i].end()));
            }
        }
        ASSERT_EQ(m_screen.history.canUndo(), m_model.position > 0);
        ASSERT_EQ(m_screen.history.canRedo(), m_model.position < m_model.history.size());
    }

    std::mt19937 m_random;
    Screen m_screen;
    Model m_model;
};

}  // namespace

TEST(EditModel, RandomEditsUndosAndRedosMatchAPlainModel) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        EditModelRun run(seed);
        for (int i = 0; i < 400; ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i);
            run.step();
            if (testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}
