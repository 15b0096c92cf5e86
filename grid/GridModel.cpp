#include "grid/GridModel.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "platform/Message.h"

GridModel::GridModel(int columns, int rows, platform::Size cell, platform::Size window)
    : m_cell{cell.width, cell.height}, m_window{window.width, window.height} {
    setExtent(columns, rows);
    layout();
}

// --- The grid, the window and the zoom.

void GridModel::setExtent(int columns, int rows) {
    m_extentSource = [columns, rows](Axis axis) { return axis == X ? columns : rows; };
}

void GridModel::setExtentSource(ExtentSource source) {
    m_extentSource = std::move(source);
}

int GridModel::extent(Axis axis) const {
    return m_extentSource ? m_extentSource(axis) : 0;
}

void GridModel::setCellSize(int width, int height) {
    m_cell[X] = width;
    m_cell[Y] = height;
}

void GridModel::setWindowSize(int width, int height) {
    m_window[X] = width;
    m_window[Y] = height;
}

void GridModel::layout() {
    for (Axis a : {X, Y}) {
        // In window pixels times the zoom's denominator, so that fractions stay exact.
        const std::int64_t cell = std::int64_t(m_cell[a]) * m_zoom.num;
        const std::int64_t window = std::int64_t(m_window[a]) * m_zoom.den;
        const std::int64_t total = std::int64_t(extent(a)) * cell;
        m_visible[a] = static_cast<int>(window / cell);
        // Rounded down to whole cells: up to one cell less than a whole one may stay out of
        // reach at the far edge, but the view never stops between two cells.
        m_maxView[a] = total <= window ? 0 : static_cast<int>((total - window) / cell * m_cell[a]);
    }
    clampView();
}

void GridModel::clampView() {
    for (Axis a : {X, Y}) {
        m_view[a] = std::clamp(m_view[a], 0, m_maxView[a]);
    }
}

int GridModel::cellAt(Axis axis, int pixel) const {
    const std::int64_t scaled = std::int64_t(pixel) * m_zoom.den;
    const std::int64_t cell = std::int64_t(m_cell[axis]) * m_zoom.num;
    return static_cast<int>(scaled / cell) + firstCell(axis);
}

int GridModel::screenOf(Axis axis, int cells) const {
    const std::int64_t pixels = std::int64_t(cells) * m_cell[axis] * m_zoom.num;
    // Rounded down on both sides of the view's first cell.
    return static_cast<int>(pixels >= 0 ? pixels / m_zoom.den
                                        : -((-pixels + m_zoom.den - 1) / m_zoom.den));
}

bool GridModel::containsCell(int column, int row) const {
    return column >= 0 && row >= 0 && column < extent(X) && row < extent(Y);
}

platform::Point GridModel::cursorPixel() const {
    return {screenOf(X, m_cursor[X] - firstCell(X)), screenOf(Y, m_cursor[Y] - firstCell(Y))};
}

bool GridModel::reachesEnd(Axis axis, int k) const {
    return (std::int64_t(k) + 1) * m_cell[axis] * m_zoom.num >=
           std::int64_t(m_window[axis]) * m_zoom.den;
}

bool GridModel::setZoom(Zoom zoom, platform::Point anchor) {
    if (zoom == m_zoom || zoom.stepIndex() < 0) {
        return false;
    }
    // The cell under the anchor, and where in the window it is to stay.
    const int pixel[2] = {anchor.x, anchor.y};
    int cell[2];
    for (Axis a : {X, Y}) {
        cell[a] = std::clamp(cellAt(a, pixel[a]), 0, std::max(lastCell(a), 0));
    }
    m_zoom = zoom;
    layout();
    for (Axis a : {X, Y}) {
        const std::int64_t before = std::int64_t(std::max(pixel[a], 0)) * m_zoom.den /
                                    (std::int64_t(m_cell[a]) * m_zoom.num);
        m_view[a] = static_cast<int>(std::max<std::int64_t>(cell[a] - before, 0)) * m_cell[a];
    }
    clampView();
    return true;
}

platform::Point GridModel::zoomAnchor() const {
    const int k[2] = {m_cursor[X] - firstCell(X), m_cursor[Y] - firstCell(Y)};
    if (k[X] >= 0 && k[Y] >= 0 && k[X] <= m_visible[X] && k[Y] <= m_visible[Y]) {
        return cursorPixel();
    }
    return {m_window[X] / 2, m_window[Y] / 2};
}

Zoom GridModel::wheelZoom(int delta) const {
    // The host has already summed a touchpad's fractions into notches; a smaller turn is one.
    const int steps =
        delta / platform::WHEEL_DELTA != 0 ? delta / platform::WHEEL_DELTA : (delta > 0 ? 1 : -1);
    Zoom zoom = m_zoom;
    for (int i = 0; i < std::abs(steps); ++i) {
        zoom = steps > 0 ? zoom.in() : zoom.out();
    }
    return zoom;
}

Zoom GridModel::fittingZoom() const {
    for (int i = Zoom::kOneStep; i > 0; --i) {
        const Zoom zoom = Zoom::step(i);
        if (zoom.toScreen(std::int64_t(extent(X)) * m_cell[X]) <= m_window[X] &&
            zoom.toScreen(std::int64_t(extent(Y)) * m_cell[Y]) <= m_window[Y]) {
            return zoom;
        }
    }
    return Zoom::step(0);
}

// --- Cursor and selection.

void GridModel::startSelection() {
    for (Axis a : {X, Y}) {
        m_start[a] = m_end[a] = m_cursor[a];
    }
    m_selectionShown = true;
    m_savedCursor = {m_cursor[X], m_cursor[Y]};
    m_savedView = {m_view[X], m_view[Y]};
}

void GridModel::clearSelection() {
    for (Axis a : {X, Y}) {
        m_start[a] = m_end[a] = -1;
    }
    m_selectionShown = false;
}

void GridModel::setSelection(const Selection& selection) {
    m_start[X] = selection.x1;
    m_start[Y] = selection.y1;
    m_end[X] = selection.x2;
    m_end[Y] = selection.y2;
    m_selectionShown = true;
}

void GridModel::setCursorAndView(int column, int row, int viewX, int viewY) {
    m_cursor[X] = column;
    m_cursor[Y] = row;
    m_view[X] = viewX;
    m_view[Y] = viewY;
    clampView();
}

void GridModel::reset() {
    clearSelection();
    m_view[X] = m_view[Y] = 0;
    m_cursor[X] = m_cursor[Y] = 0;
}

void GridModel::selectionRuleBefore(bool shift) {
    if (!shift && m_selectionShown) {
        clearSelection();
    } else if (shift && !m_selectionShown) {
        startSelection();
    }
}

void GridModel::selectionFollow(Axis axis, bool shift) {
    if (m_selectionShown && shift) {
        m_end[axis] = m_cursor[axis];
    }
}

// --- Keys.

bool GridModel::stepCursor(Axis a, int direction, bool shift) {
    if (direction < 0 ? m_cursor[a] <= 0 : m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore(shift);
    // At the window's edge the view moves under the cursor instead of the cursor moving.
    const int k = m_cursor[a] - firstCell(a);
    if (direction < 0 && k < 1 && m_view[a] > 0) {
        m_view[a] -= m_cell[a];
    } else if (direction > 0 && reachesEnd(a, k) && m_view[a] < m_maxView[a]) {
        m_view[a] += m_cell[a];
    }
    m_cursor[a] += direction > 0 ? 1 : -1;
    selectionFollow(a, shift);
    return true;
}

bool GridModel::pageBackward(Axis a, bool shift) {
    if (m_cursor[a] <= 0) {
        return false;
    }
    selectionRuleBefore(shift);
    // The whole cells the window shows, so the view stays on a cell boundary and the cursor
    // keeps its place in the window (the same as a window's width when it holds whole cells).
    const int cells = std::max(m_visible[a], 1);
    m_view[a] -= cells * m_cell[a];
    m_cursor[a] -= cells;
    if (m_view[a] < 1) {
        m_view[a] = 0;
        m_cursor[a] = 0;
    }
    m_cursor[a] = std::max(m_cursor[a], 0);
    clampView();
    selectionFollow(a, shift);
    return true;
}

bool GridModel::pageForward(Axis a, bool shift) {
    if (m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore(shift);
    if (m_maxView[a] == 0) {
        m_cursor[a] = lastCell(a);
    } else {
        const int cells = std::max(m_visible[a], 1);
        m_view[a] += cells * m_cell[a];
        m_cursor[a] += cells;
        if (m_view[a] >= m_maxView[a]) {
            m_view[a] = m_maxView[a];
            m_cursor[a] = lastCell(a);
        }
    }
    m_cursor[a] = std::min(m_cursor[a], lastCell(a));
    clampView();
    selectionFollow(a, shift);
    return true;
}

bool GridModel::goHome(Axis a, bool shift) {
    if (m_cursor[a] <= 0) {
        return false;
    }
    selectionRuleBefore(shift);
    m_cursor[a] = 0;
    m_view[a] = 0;
    selectionFollow(a, shift);
    return true;
}

bool GridModel::goEnd(Axis a, bool shift) {
    if (m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore(shift);
    m_cursor[a] = lastCell(a);
    m_view[a] = m_maxView[a];
    selectionFollow(a, shift);
    return true;
}

// --- Scrolling.

bool GridModel::scrollBy(Axis a, int cells, bool shift) {
    const int position = firstCell(a);
    const int target = std::clamp(position + cells, 0, scrollRange(a));
    if (target == position) {
        return false;
    }
    const int place = m_cursor[a] - position;  // the cursor's place in the window
    m_view[a] = target * m_cell[a];
    m_cursor[a] = std::clamp(target + place, 0, std::max(lastCell(a), 0));
    selectionFollow(a, shift);
    return true;
}

bool GridModel::scrollTo(Axis a, int target, bool shift) {
    const int current = firstCell(a);
    target = std::clamp(target, 0, scrollRange(a));
    if (target == current) {
        return false;
    }
    selectionRuleBefore(shift);
    return scrollBy(a, target - current, shift);
}

bool GridModel::wheel(int delta, bool rightButton, bool shift) {
    selectionRuleBefore(shift);
    return scrollBy(rightButton ? X : Y, delta < 1 ? 1 : -1, shift);
}

// --- The pointer.

bool GridModel::click(int x, int y) {
    const int column = cellAt(X, x), row = cellAt(Y, y);
    if (!containsCell(column, row)) {
        return false;
    }
    m_cursor[X] = column;
    m_cursor[Y] = row;
    // Remembered in every case, so that auto-scroll never acts on the position of an older drag.
    m_pointer = {x, y};
    m_leftDrag = true;
    const bool inside = m_selectionShown && column >= std::min(m_start[X], m_end[X]) &&
                        column <= std::max(m_start[X], m_end[X]) &&
                        row >= std::min(m_start[Y], m_end[Y]) &&
                        row <= std::max(m_start[Y], m_end[Y]);
    if (!inside) {
        startSelection();
    }
    return true;
}

bool GridModel::dragTo(int x, int y) {
    // Only a drag that began with a click in the cells selects.
    if (!m_leftDrag || extent(X) <= 0 || extent(Y) <= 0) {
        return false;
    }
    // The window system keeps reporting the pointer outside the window while the button is
    // held; the cursor stays on cells the window shows, and auto-scroll brings in the others.
    x = std::clamp(x, 0, m_window[X] - 1);
    y = std::clamp(y, 0, m_window[Y] - 1);
    const int cell[2] = {std::clamp(cellAt(X, x), 0, lastCell(X)),
                         std::clamp(cellAt(Y, y), 0, lastCell(Y))};
    bool changed = false;
    for (Axis a : {X, Y}) {
        if (cell[a] != m_cursor[a]) {
            m_cursor[a] = cell[a];
            if (m_selectionShown) {
                m_end[a] = cell[a];
            }
            changed = true;
        }
    }
    m_pointer = {x, y};
    return changed;
}

bool GridModel::autoScrollStep(platform::Point pointer) {
    if (!m_leftDrag || extent(X) <= 0 || extent(Y) <= 0) {
        return false;
    }
    if (pointer.x < 0 || pointer.y < 0 || pointer.x >= m_window[X] || pointer.y >= m_window[Y]) {
        return false;
    }
    // The edge is judged by the drag's last position, which the cursor followed.
    const int last[2] = {m_pointer.x, m_pointer.y};
    bool moved = false;
    for (Axis a : {X, Y}) {
        int step = 0;
        if (last[a] < kAutoScrollMargin && m_view[a] > 0) {
            step = -1;
        } else if (last[a] > m_window[a] - kAutoScrollMargin && m_view[a] < m_maxView[a]) {
            step = 1;
        }
        if (step != 0) {
            m_view[a] += step * m_cell[a];
            m_cursor[a] = std::clamp(m_cursor[a] + step, 0, lastCell(a));
            if (m_selectionShown) {
                m_end[a] = m_cursor[a];
            }
            moved = true;
        }
    }
    return moved;
}

void GridModel::startPan(int x, int y) {
    if (!m_panning) {
        m_panReference = {x, y};
        m_panning = true;
    }
}

bool GridModel::panTo(int x, int y) {
    if (!m_panning) {
        return false;
    }
    clearSelection();
    // Twelve pixels of pointer movement per cell at 1:1, as many more or fewer as the zoom
    // makes cells larger or smaller, towards zero.
    const std::int64_t perCell = std::int64_t(kPanPixelsPerCell) * m_zoom.num;
    const int delta[2] = {
        static_cast<int>((x - m_panReference.x) * std::int64_t(m_zoom.den) / perCell),
        static_cast<int>((y - m_panReference.y) * std::int64_t(m_zoom.den) / perCell)};
    for (Axis a : {X, Y}) {
        if (delta[a] == 0) {
            continue;
        }
        const int k = m_cursor[a] - firstCell(a);  // the cursor keeps its place in the window
        if (delta[a] < 0 && m_view[a] < m_maxView[a]) {
            m_view[a] = std::min(m_view[a] - delta[a] * m_cell[a], m_maxView[a]);
        } else if (delta[a] > 0 && m_view[a] > 0) {
            m_view[a] = std::max(m_view[a] - delta[a] * m_cell[a], 0);
        }
        m_cursor[a] = std::clamp(firstCell(a) + k, 0, std::max(lastCell(a), 0));
    }
    if (delta[X] == 0 && delta[Y] == 0) {
        return false;
    }
    m_panReference = {x, y};
    return true;
}
