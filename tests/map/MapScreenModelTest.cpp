// The map screen driven as the user drives it — keys, clicks, drags and the wheel in the map
// window, picks in the chip and attribute windows, the replace dialog's call — and, beside it, a
// deliberately plain model: nested vectors for both layers and whole snapshots for the history.
// Cursor, view and selection move by the grid's rules (GridModel, tests/grid), one for each window,
// handed what the map routes to it. After every step the grid, its size, the cursor, the
// selection, the view, the edited layer, the copy buffers, the history's state, the message boxes
// and the title must agree.
//
// Where the editor makes a deliberate choice of its own (see its headers), the model makes it too:
// a stamp (chip block or paste from the cursor cell) records every cell it changed, column
// insertion stops at the limit for the whole operation and says so once, undo and redo put the
// cursor on the moving corner of the selection they restore, a row or column step keeps its view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/MapWindowRouter.h"
#include "app/core/Workspace.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "grid/GridModel.h"
#include "map/MapRecorder.h"
#include "map/MapRecovery.h"
#include "map/MapScreen.h"
#include "platform/Message.h"
#include "platform/RecordStore.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

using platform::Message;
using Cells = std::vector<std::vector<int>>;

constexpr int kWindow[2] = {800, 600};
constexpr int kImageSize = 256;       // the chip image: 8 × 8 chips of 32 pixels
constexpr int kChipPick[2] = {4, 3};  // chips the user picks from: 4 × 3
constexpr int kKindCell = 32;         // the attribute window's cells
constexpr int kKindPick[2] = {3, 2};  // attributes likewise
constexpr int kKindColumns = 25;      // the attribute window's cells across
constexpr int kMaxLines = 5000;
constexpr int kHistorySteps = 10;
constexpr GridModel::Axis X = GridModel::X, Y = GridModel::Y;

int blank(int layer) {
    return layer == 0 ? -1 : 0;
}

// A rectangle of more than one cell is selected.
bool isMulti(const GridModel& grid) {
    return grid.isSelectionShown() && !grid.selectionCorners().isOneCell();
}

// One undoable step: the map before and after, and what undo and redo restore besides.
struct Entry {
    Cells before[2], after[2];
    int cursor[2];
    int view[2];
    int layer;
    bool shape;
    bool showSelection;
    int corners[4];
    std::uint64_t id = 0;
};

// The map screen as the obvious code would have it.
class Model {
public:
    Model() {
        map.setExtentSource([this](GridModel::Axis a) { return extent(a); });
        map.setWindowSize(kWindow[X], kWindow[Y]);
    }
    Model(const Model&) = delete;
    Cells layers[2];
    GridModel map, chips;
    int layer = 0;
    int kind[2] = {0, 0};  // the attribute window's cursor
    Cells buffers[2];
    bool latch = false;
    std::vector<Entry> history;
    std::size_t position = 0;
    // Each step leads to a state of its own; the map is saved in one of them.
    std::uint64_t baseId = 0, nextId = 1, savedId = 0;
    std::uint64_t stateId() const { return position > 0 ? history[position - 1].id : baseId; }
    int boxes = 0;
    std::string boxText, boxTitle;
    std::set<int> held;  // keys down
    // The modifiers a key acts with: for a key, those held at its press, whenever it is let go.
    platform::KeyModifiers mods;
    std::map<int, platform::KeyModifiers> atPress;

    int columns() const { return layers[0].empty() ? 0 : static_cast<int>(layers[0][0].size()); }
    int rows() const { return static_cast<int>(layers[0].size()); }
    int extent(int a) const { return a == X ? columns() : rows(); }

    int chip = 32;  // the chip size, the map's cells
    int imageColumns() const { return kImageSize / chip; }
    bool isHeld(int key) const { return held.count(key) != 0; }
    platform::KeyModifiers live() const {
        return {isHeld(platform::VK_SHIFT), isHeld(platform::VK_CONTROL)};
    }
    int selectedChip() const { return chips.cursorRow() * imageColumns() + chips.cursorColumn(); }
    int selectedKind() const { return kind[Y] * kKindColumns + kind[X]; }

    std::string title() const {
        const GridModel::Selection s = map.selectionCorners();
        const Zoom zoom = map.zoom();
        char text[512];
        std::snprintf(text, sizeof text,
                      "Pelorin  マップ位置:(%d,%d) 視点座標:(%d,%d) チップ総数:(横%d個,縦%d行) "
                      "選択範囲:(%d:%d～%d:%d)",
                      map.cursorColumn(), map.cursorRow(), map.viewPosition().x,
                      map.viewPosition().y, columns(), rows(), s.x1, s.y1, s.x2, s.y2);
        return std::string(text) + (zoom.isOne() ? "" : "  倍率:" + zoom.percentText()) +
               (stateId() != savedId ? " *" : "");
    }

    // --- Keys.

    void keyDown(int key) {
        mods = atPress[key] = live();
        switch (key) {
            case platform::VK_PRIOR:
                map.pageBackward(mods.ctrl ? Y : X, mods.shift);
                break;
            case platform::VK_NEXT:
                map.pageForward(mods.ctrl ? Y : X, mods.shift);
                break;
            case platform::VK_LEFT:
            case platform::VK_RIGHT:
                map.stepCursor(X, key == platform::VK_LEFT ? -1 : 1, mods.shift);
                break;
            case platform::VK_UP:
            case platform::VK_DOWN:
                map.stepCursor(Y, key == platform::VK_UP ? -1 : 1, mods.shift);
                break;
            case 'C':
                if (mods.ctrl && !latch) {
                    copy();
                }
                break;
            case 'V':
                if (mods.ctrl && !latch) {
                    paste();
                }
                break;
            default:
                break;
        }
    }

    void keyUp(int key) {
        mods = atPress[key];
        switch (key) {
            case platform::VK_HOME:
                map.goHome(mods.ctrl ? Y : X, mods.shift);
                break;
            case platform::VK_END:
                map.goEnd(mods.ctrl ? Y : X, mods.shift);
                break;
            case platform::VK_RETURN:
                put();
                break;
            case platform::VK_INSERT:
                if (mods.shift || mods.ctrl) {
                    lines(false, mods.ctrl);
                }
                break;
            case platform::VK_DELETE:
                if (mods.shift || mods.ctrl) {
                    lines(true, mods.ctrl);
                } else {
                    erase();
                }
                break;
            case 'C':
            case 'V':
                latch = false;
                break;
            case 'D':
                layer = 1 - layer;
                break;
            case 'Y':
                if (mods.ctrl) {
                    redo();
                }
                break;
            case 'Z':
                if (mods.ctrl) {
                    undo();
                }
                break;
            default:
                break;
        }
    }

    void doubleClick(int x, int y) {
        if (map.containsCell(map.cellAt(X, x), map.cellAt(Y, y))) {
            put();
        }
    }
    void kindDown(int x, int y) {
        if (x >= 0 && x / kKindCell < kKindColumns) {
            kind[X] = x / kKindCell;
        }
        if (y >= 0 && y / kKindCell < 4) {
            kind[Y] = y / kKindCell;
        }
    }

    // --- Editing.

    struct Range {
        int left, top, right, bottom;
        bool oneCell() const { return left == right && top == bottom; }
    };
    // The shown selection, or the cursor cell.
    Range range() const {
        const GridModel::Selection s =
            map.isSelectionShown()
                ? map.selectionCorners()
                : GridModel::Selection::cell(map.cursorColumn(), map.cursorRow());
        return {s.left(), s.top(), s.right(), s.bottom()};
    }

    void record(const Cells (&before)[2], Entry entry) {
        entry.before[0] = before[0];
        entry.before[1] = before[1];
        entry.after[0] = layers[0];
        entry.after[1] = layers[1];
        entry.id = nextId++;
        history.resize(position);
        history.push_back(std::move(entry));
        if (history.size() > static_cast<std::size_t>(kHistorySteps)) {
            baseId = history.front().id;
            history.erase(history.begin());
        }
        position = history.size();
    }

    Entry entryHere() const {
        Entry entry{};
        entry.cursor[X] = map.cursorColumn();
        entry.cursor[Y] = map.cursorRow();
        entry.view[X] = map.viewPosition().x;
        entry.view[Y] = map.viewPosition().y;
        entry.layer = layer;
        return entry;
    }

    // A step over cells: undo and redo show (x1, y1)–(x2, y2) as the selection with the cursor
    // on (x2, y2) when restoreSelection is set.
    void recordCells(const Cells (&before)[2], int x1, int y1, int x2, int y2,
                     bool restoreSelection) {
        Entry entry = entryHere();
        entry.showSelection = restoreSelection;
        entry.corners[0] = x1;
        entry.corners[1] = y1;
        entry.corners[2] = x2;
        entry.corners[3] = y2;
        if (restoreSelection) {
            entry.cursor[X] = x2;
            entry.cursor[Y] = y2;
        }
        record(before, std::move(entry));
    }

    void putCell(int value) {
        const Cells before[2] = {layers[0], layers[1]};
        const int x = map.cursorColumn(), y = map.cursorRow();
        layers[layer][y][x] = value;
        recordCells(before, x, y, x, y, true);
    }

    // pattern repeated over the selection.
    void tile(const Cells& pattern) {
        const Cells before[2] = {layers[0], layers[1]};
        const Range r = range();
        for (int y = r.top; y <= r.bottom; ++y) {
            const std::vector<int>& row = pattern[(y - r.top) % pattern.size()];
            for (int x = r.left; x <= r.right; ++x) {
                layers[layer][y][x] = row[(x - r.left) % row.size()];
            }
        }
        const GridModel::Selection s = map.selectionCorners();
        recordCells(before, s.x1, s.y1, s.x2, s.y2, true);
    }

    // pattern once, its top-left on the cursor cell, cut off at the map's edges.
    void stamp(const Cells& pattern) {
        const Cells before[2] = {layers[0], layers[1]};
        const int cx = map.cursorColumn(), cy = map.cursorRow();
        int width = 0, height = 0;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            for (std::size_t j = 0; j < pattern[i].size(); ++j) {
                const int x = cx + static_cast<int>(j), y = cy + static_cast<int>(i);
                if (x < columns() && y < rows()) {
                    layers[layer][y][x] = pattern[i][j];
                    width = std::max(width, static_cast<int>(j) + 1);
                    height = std::max(height, static_cast<int>(i) + 1);
                }
            }
        }
        recordCells(before, cx, cy, cx + width - 1, cy + height - 1, false);
    }

    void put() {
        if (layer == 0 && isMulti(chips)) {
            const GridModel::Selection s = chips.selectionCorners();
            Cells block;
            for (int r = s.top(); r <= s.bottom(); ++r) {
                block.emplace_back();
                for (int c = s.left(); c <= s.right(); ++c) {
                    block.back().push_back(r * imageColumns() + c);
                }
            }
            range().oneCell() ? stamp(block) : tile(block);
            return;
        }
        const int value = layer == 0 ? selectedChip() : selectedKind();
        if (map.isSelectionShown()) {
            tile(Cells{{value}});
        } else {
            putCell(value);
        }
    }

    void erase() {
        if (layer != 0) {
            return;
        }
        if (map.isSelectionShown()) {
            tile(Cells{{-1}});
        } else {
            putCell(-1);
        }
    }

    void copy() {
        const Range r = range();
        Cells& buffer = buffers[layer];
        buffer.clear();
        for (int y = r.top; y <= r.bottom; ++y) {
            buffer.emplace_back(layers[layer][y].begin() + r.left,
                                layers[layer][y].begin() + r.right + 1);
        }
        latch = latch || isHeld('C');
    }

    void paste() {
        const Cells& buffer = buffers[layer];
        if (buffer.empty()) {
            return;
        }
        // Stamping may overwrite the buffer's own source; use a copy.
        const Cells pattern = buffer;
        range().oneCell() ? stamp(pattern) : tile(pattern);
        latch = latch || isHeld('V');
    }

    void box(const std::string& text, const std::string& title) {
        ++boxes;
        boxText = text;
        boxTitle = title;
    }

    // Rows with Shift, columns with Ctrl; columns when both are held.
    void lines(bool deleting, bool columnsWise) {
        const Range r = range();
        const Cells before[2] = {layers[0], layers[1]};
        const int lo = columnsWise ? r.left : r.top;
        const int hi = columnsWise ? r.right : r.bottom;
        int count = hi - lo + 1;
        if (deleting && count >= (columnsWise ? columns() : rows())) {
            columnsWise
                ? box("列を削除出来ません。マップ構成には最低1列は必要です。", "列削除エラー")
                : box("行を削除出来ません。マップ構成には最低1行は必要です。", "行削除エラー");
            return;
        }
        if (!deleting) {
            const int room = kMaxLines - (columnsWise ? columns() : rows());
            if (room < count) {
                columnsWise ? box("横のキャンバス限界サイズは5000です。それ以上は挿入出来ません",
                                  "列挿入エラー")
                            : box("縦のキャンバス限界サイズは5000です。それ以上は挿入出来ません",
                                  "行挿入エラー");
                count = room;
            }
            if (count <= 0) {
                return;
            }
        }
        for (int l = 0; l < 2; ++l) {
            Cells& cells = layers[l];
            if (columnsWise && deleting) {
                for (std::vector<int>& row : cells) {
                    row.erase(row.begin() + lo, row.begin() + hi + 1);
                }
            } else if (columnsWise) {
                for (std::vector<int>& row : cells) {
                    row.insert(row.begin() + lo, count, blank(l));
                }
            } else if (deleting) {
                cells.erase(cells.begin() + lo, cells.begin() + hi + 1);
            } else {
                const int width = columns();
                cells.insert(cells.begin() + lo, count, std::vector<int>(width, blank(l)));
            }
        }
        buffers[0].clear();
        buffers[1].clear();
        map.clearSelection();
        map.layout();
        map.setCursorAndView(std::min(r.left, columns() - 1), std::min(r.top, rows() - 1),
                             map.viewPosition().x, map.viewPosition().y);
        Entry entry = entryHere();
        entry.shape = true;
        record(before, std::move(entry));
    }

    void replace(int from, int to, int source, int target) {
        if (from == to && source == target) {
            return;
        }
        const Cells before[2] = {layers[0], layers[1]};
        int count = 0;
        for (int y = 0; y < rows(); ++y) {
            for (int x = 0; x < columns(); ++x) {
                if (layers[source][y][x] == from) {
                    layers[target][y][x] = to;
                    ++count;
                }
            }
        }
        if (count == 0) {
            return;
        }
        layer = target;
        box(std::to_string(count) + "個置換しました", "置換成功");
        Entry entry = entryHere();
        const GridModel::Selection s = map.selectionCorners();
        entry.showSelection = map.isSelectionShown();
        entry.corners[0] = s.x1;
        entry.corners[1] = s.y1;
        entry.corners[2] = s.x2;
        entry.corners[3] = s.y2;
        record(before, std::move(entry));
    }

    // --- History.

    void restore(const Entry& entry, const Cells (&cells)[2]) {
        layers[0] = cells[0];
        layers[1] = cells[1];
        layer = entry.layer;
        if (entry.shape) {
            buffers[0].clear();
            buffers[1].clear();
        }
        map.clearSelection();
        map.layout();
        map.setCursorAndView(std::clamp(entry.cursor[X], 0, columns() - 1),
                             std::clamp(entry.cursor[Y], 0, rows() - 1), entry.view[X],
                             entry.view[Y]);
        if (entry.showSelection) {
            map.setSelection(
                {entry.corners[0], entry.corners[1], entry.corners[2], entry.corners[3]});
        }
    }

    void undo() {
        if (position > 0) {
            --position;
            restore(history[position], history[position].before);
        }
    }

    void redo() {
        if (position < history.size()) {
            restore(history[position], history[position].after);
            ++position;
        }
    }
};

platform::WindowSpec windowSpec(const char* className, platform::Size client,
                                platform::Point position) {
    platform::WindowSpec spec;
    spec.className = className;
    spec.clientSize = client;
    spec.position = position;
    return spec;
}

struct Shape {
    int columns;
    int rows;
    int chip = 32;                  // the chip size, the map's cells
    int zoomStep = Zoom::kOneStep;  // the map window's zoom at the start
};

// One random session: the screen and the model side by side.
class ModelRun {
public:
    // nearLimit: a map at the edge of the insertion limits, where row and column steps come
    // more often and insert more than deleting.
    ModelRun(unsigned seed, Shape shape, bool nearLimit)
        : m_seed(seed), m_shape(shape), m_nearLimit(nearLimit), m_random(seed) {}

    // Sets the screen up as the shell does, with a chip image and a random map of the values
    // the user picks from, so that replaces find something.
    bool start() {
        map.document().setChangeListener(&m_recording);
        router.setScreen(&map);
        if (!work.attachMap(&mapWindow, kWindow[X], kWindow[Y], &router)) {
            return false;
        }
        map.newMap();
        if (!work.attachKinds(&kindWindow) || !work.attachChips(&chipWindow, 800, 600)) {
            return false;
        }
        const std::string path = dir.file("chips.bmp");
        screen_test::writeChipImage(path, kImageSize, kImageSize);
        if (!map.loadChipImage(path) || !map.setChipSize(m_shape.chip, m_shape.chip)) {
            return false;
        }
        m_model.chip = m_shape.chip;
        const int chipCells = m_model.imageColumns();
        m_model.chips = GridModel(chipCells, chipCells, {m_shape.chip, m_shape.chip}, {800, 600});
        m_model.map.setCellSize(m_shape.chip, m_shape.chip);
        MapGrid grid;
        grid.reset(m_shape.columns, m_shape.rows);
        for (int l = 0; l < 2; ++l) {
            m_model.layers[l].assign(m_shape.rows, std::vector<int>(m_shape.columns));
        }
        for (int y = 0; y < m_shape.rows; ++y) {
            for (int x = 0; x < m_shape.columns; ++x) {
                const int chip = pickValue(0), kind = pickValue(1);
                grid.setChip(x, y, chip);
                grid.setKind(x, y, kind);
                m_model.layers[0][y][x] = chip;
                m_model.layers[1][y][x] = kind;
            }
        }
        map.takeMap(std::move(grid));
        // Saved, so that the title's mark follows the history back to this state.
        std::string saved = dir.file("start.map");
        if (!map.saveMap(saved)) {
            return false;
        }
        m_model.baseId = m_model.savedId = m_model.nextId++;
        m_model.map.layout();
        m_model.map.setZoom(Zoom::step(m_shape.zoomStep), {0, 0});
        map.setZoom(m_model.map.zoom(), {0, 0});
        return check("-1: start") && checkRecovery("-1: start");
    }

    // One random operation; false after a mismatch (reported).
    bool step(int index) {
        m_step = index;
        const int what = pick(0, 99);
        if (m_nearLimit && pick(0, 3) == 0) {
            lines();
        } else if (pick(0, 11) == 0) {
            pick(0, 1) == 0 ? ctrlWheel() : panMap();
        } else if (what < 8) {
            clickMap();
        } else if (what < 16) {
            dragMap();
        } else if (what < 26) {
            arrows();
        } else if (what < 30) {
            homeEndOrPage();
        } else if (what < 32) {
            wheel();
        } else if (what < 35) {
            pickChip(false);
        } else if (what < 39) {
            pickChip(true);
        } else if (what < 42) {
            pickKind();
        } else if (what < 45) {
            note("D");
            press('D');
        } else if (what < 53) {
            note("Enter");
            press(platform::VK_RETURN);
        } else if (what < 55) {
            doubleClick();
        } else if (what < 58) {
            note("Delete");
            press(platform::VK_DELETE);
        } else if (what < 62) {
            copyOrPaste('C');
        } else if (what < 67) {
            copyOrPaste('V');
        } else if (what < 69) {
            copyThenPasteWhileHeld();
        } else if (what < 77) {
            lines();
        } else if (what < 81) {
            replace();
        } else if (what < 92) {
            return history('Z');
        } else {
            return history('Y');
        }
        if (!check(m_log.back())) {
            return false;
        }
        // Now and then the recovery records are written, a snapshot often left half taken; and
        // now and then read back, which must give the map as it is.
        const int recovery = pick(0, 9);
        if (recovery < 3) {
            m_recorder.flush(map.document().grid());
            for (int n = pick(0, 3); n > 0 && m_recorder.captureStep(map.document().grid()); --n) {
            }
        } else if (recovery == 3) {
            return checkRecovery(m_log.back());
        }
        return true;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // A value of a layer as the user can pick it.
    int pickValue(int layer) {
        if (layer == 0) {
            const int n = pick(-1, kChipPick[X] * kChipPick[Y] - 1);
            return n < 0 ? -1 : n / kChipPick[X] * m_model.imageColumns() + n % kChipPick[X];
        }
        const int n = pick(0, kKindPick[X] * kKindPick[Y] - 1);
        return n / kKindPick[X] * kKindColumns + n % kKindPick[X];
    }

    // A window pixel, mostly over the map's visible cells.
    int mapPixel(GridModel::Axis a) {
        const GridModel& grid = m_model.map;
        const int reach =
            std::min(kWindow[a], grid.screenOf(a, m_model.extent(a) - grid.firstCell(a)));
        return reach > 0 && pick(0, 9) < 9 ? pick(0, reach - 1) : pick(0, kWindow[a] - 1);
    }
    // Where a dragging pointer goes: sometimes beyond the window.
    int dragPixel(GridModel::Axis a) {
        return pick(0, 4) == 0 ? pick(-60, kWindow[a] + 60) : mapPixel(a);
    }

    // The operation log, each entry under the number of the step it belongs to.
    void note(const std::string& text) { m_log.push_back(std::to_string(m_step) + ": " + text); }

    void hold(int key) {
        host.setKeyDown(key);
        m_model.held.insert(key);
    }
    void letGo(int key) {
        host.setKeyDown(key, false);
        m_model.held.erase(key);
    }
    void keyDown(int key) {
        mapWindow.send(Message::keyDown(key));
        m_model.keyDown(key);
    }
    void keyUp(int key) {
        mapWindow.send(Message::keyUp(key));
        m_model.keyUp(key);
    }
    void press(int key) {
        keyDown(key);
        keyUp(key);
    }
    // A key pressed with Shift and Ctrl as asked; a fast typist sometimes lets go of them
    // before the key, which then still acts with them.
    void chord(bool shift, bool ctrl, int key, const std::string& name) {
        const bool early = (shift || ctrl) && pick(0, 2) == 0;
        note(std::string(shift ? "Shift+" : "") + (ctrl ? "Ctrl+" : "") + name +
             (early ? " (modifiers up first)" : ""));
        const int modifiers[2] = {shift ? platform::VK_SHIFT : 0, ctrl ? platform::VK_CONTROL : 0};
        for (int m : modifiers) {
            if (m != 0) {
                hold(m);
            }
        }
        keyDown(key);
        for (int m : modifiers) {
            if (m != 0 && early) {
                letGo(m);
            }
        }
        keyUp(key);
        for (int m : modifiers) {
            if (m != 0 && !early) {
                letGo(m);
            }
        }
    }

    void leftDown(int x, int y) {
        mapWindow.send(Message::mouse(platform::WM_LBUTTONDOWN, x, y, platform::MK_LBUTTON));
        m_model.map.click(x, y);
    }
    void leftMove(int x, int y) {
        mapWindow.send(Message::mouse(platform::WM_MOUSEMOVE, x, y, platform::MK_LBUTTON));
        m_model.map.dragTo(x, y);
    }
    void leftUp(int x, int y) {
        mapWindow.send(Message::mouse(platform::WM_LBUTTONUP, x, y, 0));
        m_model.map.endLeftDrag();
    }

    void clickMap() {
        const int x = mapPixel(X), y = mapPixel(Y);
        note("click " + std::to_string(x) + "," + std::to_string(y));
        leftDown(x, y);
        leftUp(x, y);
    }

    void dragMap() {
        int x = mapPixel(X), y = mapPixel(Y);
        std::string text = "drag " + std::to_string(x) + "," + std::to_string(y);
        leftDown(x, y);
        for (int moves = pick(1, 3); moves > 0; --moves) {
            x = dragPixel(X);
            y = dragPixel(Y);
            text += " > " + std::to_string(x) + "," + std::to_string(y);
            leftMove(x, y);
        }
        note(text);
        leftUp(x, y);
    }

    void doubleClick() {
        const int x = mapPixel(X), y = mapPixel(Y);
        note("double click " + std::to_string(x) + "," + std::to_string(y));
        leftDown(x, y);
        leftUp(x, y);
        mapWindow.send(Message::mouse(platform::WM_LBUTTONDBLCLK, x, y, platform::MK_LBUTTON));
        m_model.doubleClick(x, y);
        leftUp(x, y);
    }

    void arrows() {
        static const int keys[4] = {platform::VK_LEFT, platform::VK_RIGHT, platform::VK_UP,
                                    platform::VK_DOWN};
        static const char* names[4] = {"Left", "Right", "Up", "Down"};
        const bool shift = pick(0, 1) == 1;
        const int which = pick(0, 3), count = pick(1, 4);
        note(std::string(shift ? "Shift+" : "") + names[which] + " x" + std::to_string(count));
        if (shift) {
            hold(platform::VK_SHIFT);
        }
        for (int i = 0; i < count; ++i) {
            press(keys[which]);
        }
        if (shift) {
            letGo(platform::VK_SHIFT);
        }
    }

    void homeEndOrPage() {
        static const int keys[4] = {platform::VK_HOME, platform::VK_END, platform::VK_PRIOR,
                                    platform::VK_NEXT};
        static const char* names[4] = {"Home", "End", "PageUp", "PageDown"};
        const int which = pick(0, 3);
        chord(pick(0, 1) == 1, pick(0, 1) == 1, keys[which], names[which]);
    }

    void wheel() {
        const bool shift = pick(0, 1) == 1, right = pick(0, 1) == 1;
        const int delta = pick(0, 1) == 0 ? -platform::WHEEL_DELTA : platform::WHEEL_DELTA;
        note(std::string("wheel ") + (shift ? "Shift+" : "") + (right ? "right button " : "") +
             std::to_string(delta));
        if (shift) {
            hold(platform::VK_SHIFT);
        }
        const int keys = (right ? platform::MK_RBUTTON : 0) | (shift ? platform::MK_SHIFT : 0);
        mapWindow.send(Message::wheel(delta, 100, 100, keys));
        m_model.map.wheel(delta, right, shift);
        if (shift) {
            letGo(platform::VK_SHIFT);
        }
    }

    // A zoom step in or out, anchored at the pointer.
    void ctrlWheel() {
        const bool in = pick(0, 1) == 0;
        const int x = mapPixel(X), y = mapPixel(Y);
        note(std::string("Ctrl+wheel ") + (in ? "in" : "out") + " at " + std::to_string(x) + "," +
             std::to_string(y));
        hold(platform::VK_CONTROL);
        mapWindow.send(Message::wheel(in ? platform::WHEEL_DELTA : -platform::WHEEL_DELTA, x, y,
                                      platform::MK_CONTROL));
        m_model.map.setZoom(in ? m_model.map.zoom().in() : m_model.map.zoom().out(), {x, y});
        letGo(platform::VK_CONTROL);
    }

    // A drag with the right button: the view pans.
    void panMap() {
        int x = mapPixel(X), y = mapPixel(Y);
        std::string text = "pan " + std::to_string(x) + "," + std::to_string(y);
        mapWindow.send(Message::mouse(platform::WM_RBUTTONDOWN, x, y, platform::MK_RBUTTON));
        m_model.map.startPan(x, y);
        for (int moves = pick(1, 3); moves > 0; --moves) {
            x = dragPixel(X);
            y = dragPixel(Y);
            text += " > " + std::to_string(x) + "," + std::to_string(y);
            mapWindow.send(Message::mouse(platform::WM_MOUSEMOVE, x, y, platform::MK_RBUTTON));
            m_model.map.panTo(x, y);
        }
        note(text);
        mapWindow.send(Message::mouse(platform::WM_RBUTTONUP, x, y, 0));
        m_model.map.endPan();
    }

    // A chip, or a block of chips dragged, in the chip window.
    void pickChip(bool block) {
        ChipScreen& chips = *map.chipScreen();
        const int chip = m_model.chip;
        int x = pick(0, kChipPick[X] * chip - 1), y = pick(0, kChipPick[Y] * chip - 1);
        std::string text = "chip window click " + std::to_string(x) + "," + std::to_string(y);
        chips.onLeftButtonDown(x, y);
        m_model.chips.click(x, y);
        if (block) {
            x = pick(0, kChipPick[X] * chip - 1);
            y = pick(0, kChipPick[Y] * chip - 1);
            text += " > " + std::to_string(x) + "," + std::to_string(y);
            chips.onMouseMove(x, y, platform::MK_LBUTTON);
            m_model.chips.dragTo(x, y);
        }
        chips.onLeftButtonUp();
        m_model.chips.endLeftDrag();
        note(text);
    }

    void pickKind() {
        const int x = pick(0, kKindPick[X] * kKindCell - 1);
        const int y = pick(0, kKindPick[Y] * kKindCell - 1);
        note("attribute window click " + std::to_string(x) + "," + std::to_string(y));
        map.kindScreen()->onLeftButtonDown(x, y);
        m_model.kindDown(x, y);
    }

    // Ctrl+C or Ctrl+V, sometimes held long enough to repeat, which the latch turns away.
    void copyOrPaste(int letter) {
        const int repeats = pick(0, 3) == 0 ? 2 : 1;
        note(std::string("Ctrl+") + char(letter) + (repeats > 1 ? " held" : ""));
        hold(platform::VK_CONTROL);
        hold(letter);
        for (int i = 0; i < repeats; ++i) {
            keyDown(letter);
        }
        letGo(letter);
        keyUp(letter);
        letGo(platform::VK_CONTROL);
    }

    // Ctrl+C, then V while C is still down (turned away), then V again once C is up.
    void copyThenPasteWhileHeld() {
        note("Ctrl+C, V with C held, V after C released");
        hold(platform::VK_CONTROL);
        hold('C');
        keyDown('C');
        hold('V');
        keyDown('V');
        letGo('C');
        keyUp('C');
        keyDown('V');
        letGo('V');
        keyUp('V');
        letGo(platform::VK_CONTROL);
    }

    // Insert or Delete with Shift (rows), Ctrl (columns) or both (columns).
    void lines() {
        const int form = pick(0, 3);
        const bool deleting = pick(0, m_nearLimit ? 3 : 1) == 1;
        chord(form != 2, form >= 2, deleting ? platform::VK_DELETE : platform::VK_INSERT,
              deleting ? "Delete" : "Insert");
    }

    void replace() {
        const int source = pick(0, 1), target = pick(0, 1);
        const int from = pick(0, 9) == 0 ? 63 : pickValue(source);  // 63: found nowhere
        const int to = pick(0, 9) == 0 ? from : pickValue(target);
        note("replace " + std::to_string(from) + " in layer " + std::to_string(source) + " by " +
             std::to_string(to) + " in layer " + std::to_string(target));
        map.replace(from, to, source, target);
        m_model.replace(from, to, source, target);
    }

    // One Ctrl+Z (Ctrl+Y), or a run of them through the whole history, checked after each.
    bool history(int letter) {
        const int count = pick(0, 3) == 0 ? pick(2, kHistorySteps + 2) : 1;
        for (int i = 0; i < count; ++i) {
            chord(false, true, letter, std::string(1, char(letter)));
            if (!check(m_log.back())) {
                return false;
            }
        }
        return true;
    }

    // --- Comparing.

    static std::string cellsText(const Cells& cells) {
        std::ostringstream out;
        for (const std::vector<int>& row : cells) {
            for (int v : row) {
                out << ' ' << v;
            }
            out << " /";
        }
        return out.str();
    }
    static Cells cellsOf(const MapGrid::Layer& layer) {
        Cells cells;
        for (const MapGrid::Row& row : layer) {
            cells.emplace_back(row.begin(), row.end());
        }
        return cells;
    }

    // The first thing in which the screen and the model differ, or nothing.
    std::string difference() const {
        std::ostringstream out;
        const MapGrid& grid = map.document().grid();
        if (grid.columns() != m_model.columns() || grid.rows() != m_model.rows()) {
            out << "size " << grid.columns() << " x " << grid.rows() << ", model "
                << m_model.columns() << " x " << m_model.rows();
            return out.str();
        }
        for (int l = 0; l < 2; ++l) {
            for (int y = 0; y < grid.rows(); ++y) {
                if (grid.layer(l)[y].size() != static_cast<std::size_t>(grid.columns())) {
                    out << "layer " << l << " row " << y << " has " << grid.layer(l)[y].size()
                        << " cells";
                    return out.str();
                }
                for (int x = 0; x < grid.columns(); ++x) {
                    if (grid.cell(l, x, y) != m_model.layers[l][y][x]) {
                        out << "layer " << l << " cell (" << x << ", " << y << ") is "
                            << grid.cell(l, x, y) << ", model " << m_model.layers[l][y][x];
                        return out.str();
                    }
                }
            }
        }
        const auto s = map.selectionCorners();
        const GridModel& p = m_model.map;
        const GridModel::Selection ps = p.selectionCorners();
        if (map.cursorColumn() != p.cursorColumn() || map.cursorRow() != p.cursorRow()) {
            out << "cursor (" << map.cursorColumn() << ", " << map.cursorRow() << "), model ("
                << p.cursorColumn() << ", " << p.cursorRow() << ")";
        } else if (map.isSelectionShown() != p.isSelectionShown() || s != ps) {
            out << "selection " << map.isSelectionShown() << " (" << s.x1 << ", " << s.y1 << ")-("
                << s.x2 << ", " << s.y2 << "), model " << p.isSelectionShown() << " (" << ps.x1
                << ", " << ps.y1 << ")-(" << ps.x2 << ", " << ps.y2 << ")";
        } else if (map.viewPosition() != p.viewPosition()) {
            out << "view (" << map.viewPosition().x << ", " << map.viewPosition().y << "), model ("
                << p.viewPosition().x << ", " << p.viewPosition().y << ")";
        } else if (map.editLayer() != m_model.layer) {
            out << "edit layer " << map.editLayer() << ", model " << m_model.layer;
        } else if (map.document().canUndo() != (m_model.position > 0) ||
                   map.document().canRedo() != (m_model.position < m_model.history.size()) ||
                   map.document().history().position() != static_cast<int>(m_model.position) ||
                   map.document().history().size() != static_cast<int>(m_model.history.size())) {
            out << "history " << map.document().history().position() << " of "
                << map.document().history().size() << ", model " << m_model.position << " of "
                << m_model.history.size();
        } else if (static_cast<int>(host.boxes.size()) != m_model.boxes) {
            out << host.boxes.size() << " message boxes, model " << m_model.boxes;
        } else if (m_model.boxes > 0 && (host.boxes.back().text != m_model.boxText ||
                                         host.boxes.back().title != m_model.boxTitle)) {
            out << "message \"" << host.boxes.back().text << "\" / \"" << host.boxes.back().title
                << "\", model \"" << m_model.boxText << "\" / \"" << m_model.boxTitle << "\"";
        } else if (mapWindow.title() != m_model.title()) {
            out << "title \"" << mapWindow.title() << "\", model \"" << m_model.title() << "\"";
        } else if (map.chipScreen()->selectedChipNumber() != m_model.selectedChip() ||
                   map.chipScreen()->isMultiSelection() != isMulti(m_model.chips)) {
            out << "chip window: chip " << map.chipScreen()->selectedChipNumber() << ", model "
                << m_model.selectedChip();
        } else if (map.kindScreen()->selectedKindNumber() != m_model.selectedKind()) {
            out << "attribute window: " << map.kindScreen()->selectedKindNumber() << ", model "
                << m_model.selectedKind();
        } else {
            for (int l = 0; l < 2; ++l) {
                const Cells buffer = cellsOf(map.document().copyBuffer(l));
                if (buffer != m_model.buffers[l]) {
                    out << "copy buffer " << l << ":" << cellsText(buffer)
                        << ", model:" << cellsText(m_model.buffers[l]);
                    break;
                }
            }
        }
        return out.str();
    }

    // Writes every waiting record, then reads the folder as a recovery would.
    bool checkRecovery(const std::string& what) {
        m_recorder.flush(map.document().grid());
        while (m_recorder.captureStep(map.document().grid())) {
            m_store.waitIdle();
        }
        m_store.waitIdle();
        const RecoveredMap recovered =
            readRecoveredMap(m_recoveryDir.path(), testing_support::listDir(m_recoveryDir.path()));
        std::string diff;
        if (!recovered.found || !recovered.problems.empty()) {
            diff = "no map recovered" +
                   (recovered.problems.empty() ? std::string() : ": " + recovered.problems[0]);
        } else if (cellsOf(recovered.grid.chipLayer()) != m_model.layers[0] ||
                   cellsOf(recovered.grid.kindLayer()) != m_model.layers[1]) {
            diff = "the recovered cells differ from the model's";
        } else if (recovered.modified != map.document().isModified() ||
                   recovered.grid.chipWidth() != map.document().grid().chipWidth()) {
            diff = "the recovered map's state differs";
        } else if (m_store.failures() != 0) {
            diff = "a write failed: " + m_store.takeFailure();
        }
        if (diff.empty()) {
            return true;
        }
        ADD_FAILURE() << "seed " << m_seed << ", after step " << what << ": " << diff;
        return false;
    }

    bool check(const std::string& what) {
        const std::string diff = difference();
        if (diff.empty()) {
            return true;
        }
        std::ostringstream out;
        out << "seed " << m_seed << ", map " << m_shape.columns << " x " << m_shape.rows << " of "
            << m_shape.chip << "-pixel chips at " << Zoom::step(m_shape.zoomStep).text()
            << ", after step " << what << ": " << diff << "\noperations:";
        for (const std::string& entry : m_log) {
            out << "\n  " << entry;
        }
        ADD_FAILURE() << out.str();
        return false;
    }

    unsigned m_seed;
    Shape m_shape;
    bool m_nearLimit;
    std::mt19937 m_random;
    int m_step = -1;
    std::vector<std::string> m_log;
    Model m_model;

    platform::headless::HeadlessHost host;
    platform::headless::HeadlessWindow mapWindow{
        windowSpec("mapeditor", {kWindow[X], kWindow[Y]}, {100, 50})};
    platform::headless::HeadlessWindow kindWindow{windowSpec("kindview", {800, 128}, {0, 0})};
    platform::headless::HeadlessWindow chipWindow{windowSpec("chipview", {800, 600}, {900, 0})};
    testing_support::TempDir m_recoveryDir;
    platform::RecordStore m_store{m_recoveryDir.path()};
    // Small slices and limits, so that snapshots, compaction and given-up records all happen.
    MapRecorder m_recorder{m_store, 0, MapRecorder::Limits{256, 4096, 2048}};
    struct Recording : MapChangeListener {
        MapRecorder& recorder;
        explicit Recording(MapRecorder& r) : recorder(r) {}
        void mapChanged(const MapGrid& grid, const MapChange& change, bool modified) override {
            recorder.record(grid, change, modified);
        }
    } m_recording{m_recorder};
    Workspace work{host};
    MapScreen& map = work.map();
    MapWindowRouter router{host};
    testing_support::TempDir dir;
};

// Seeds firstSeed onwards, each a fresh screen and model. A failure names its seed, shape and
// step and lists the operations so far; runSeeds(seed, 1, …) replays it alone.
void runSeeds(unsigned firstSeed, int seeds, Shape shape, int steps, bool nearLimit = false) {
    for (unsigned seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        ModelRun run(seed, shape, nearLimit);
        ASSERT_TRUE(run.start()) << "seed " << seed;
        for (int i = 0; i < steps; ++i) {
            if (!run.step(i)) {
                return;
            }
        }
    }
}

}  // namespace

// A map smaller than the window: the view moves only once inserted lines make it larger.
TEST(MapScreenModel, RandomInputOnASmallMapMatchesAPlainModel) {
    runSeeds(1, 20, {12, 9}, 200);
}

// A map larger than the window, so that keys, the wheel and row and column steps move the view.
TEST(MapScreenModel, RandomInputOnAMapLargerThanTheWindowMatchesAPlainModel) {
    runSeeds(101, 6, {40, 30}, 200);
    runSeeds(151, 2, {120, 90}, 200);  // several pages across and down
}

// Maps at the edge of the insertion limits: inserting more lines than fit.
TEST(MapScreenModel, RandomInputNearTheInsertionLimitsMatchesAPlainModel) {
    runSeeds(201, 2, {kMaxLines - 2, 3}, 60, true);
    runSeeds(301, 2, {3, kMaxLines - 2}, 60, true);
}

// Every zoom step and chip sizes that do and do not divide by the reduction: clicks, drags, the
// cursor keys at the window's edges, pages, the wheel, panning and Ctrl+wheel anchored at the
// pointer hit the cells and move the view as at 1:1, scaled.
TEST(MapScreenModel, RandomInputAtEveryZoomAndChipSizeMatchesAPlainModel) {
    unsigned seed = 501;
    for (int chip : {16, 32, 48, 64}) {
        for (int step = 0; step < Zoom::kSteps; ++step) {
            runSeeds(seed++, 1, {60, 45, chip, step}, 80);
        }
    }
}

// Maps of one or a few cells a side: one column or row left, selections that cover the map,
// deletions refused for want of lines.
TEST(MapScreenModel, RandomInputOnTinyMapsMatchesAPlainModel) {
    const Shape shapes[] = {{1, 1}, {1, 6}, {6, 1}, {2, 3}, {8, 8}};
    unsigned seed = 401;
    for (const Shape& shape : shapes) {
        runSeeds(seed, 4, shape, 150);
        seed += 10;
    }
}
