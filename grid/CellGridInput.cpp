// The input half of the cell-grid screen: cursor keys, pages, Home and End, scroll-bar requests,
// the wheel, clicks and drags, panning with the right button, and auto-scroll near the edges.
// Keys arrive with the modifiers held at their press (see platform::KeyModifiers); the scroll
// bars and the wheel read Shift as it is held now.
#include <algorithm>
#include <cstdlib>

#include "grid/CellGridScreen.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKey.h"

void CellGridScreen::selectionRuleBefore(bool shift) {
    if (!shift && m_selectionShown) {
        clearSelection();
    } else if (shift && !m_selectionShown) {
        startSelection();
    }
}

void CellGridScreen::selectionFollow(Axis axis, bool shift) {
    if (m_selectionShown && shift) {
        m_end[axis] = m_cursor[axis];
        drawSelection();
    }
}

// --- Navigation by keys.

bool CellGridScreen::stepByArrowKey(int key, bool shift) {
    switch (key) {
        case platform::VK_LEFT:
            stepCursor(X, -1, shift);
            return true;
        case platform::VK_RIGHT:
            stepCursor(X, 1, shift);
            return true;
        case platform::VK_UP:
            stepCursor(Y, -1, shift);
            return true;
        case platform::VK_DOWN:
            stepCursor(Y, 1, shift);
            return true;
        default:
            return false;
    }
}

bool CellGridScreen::stepCursor(Axis a, int direction, bool shift) {
    if (direction < 0 ? m_cursor[a] <= 0 : m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore(shift);
    // At the window's edge the view moves under the cursor instead of the cursor moving.
    const int k = m_cursor[a] - firstCell(a);
    bool scrolled = false;
    if (direction < 0 && k < 1 && m_view[a] > 0) {
        m_view[a] -= m_cell[a];
        scrolled = true;
    } else if (direction > 0 && reachesEnd(a, k) && m_view[a] < m_maxView[a]) {
        m_view[a] += m_cell[a];
        scrolled = true;
    }
    m_cursor[a] += direction > 0 ? 1 : -1;
    if (scrolled) {
        refreshView();
        updateScrollPositions();
    } else {
        placeCursorSprite();
    }
    selectionFollow(a, shift);
    updateTitle();
    return true;
}

bool CellGridScreen::pageBackward(Axis a, bool shift) {
    if (m_cursor[a] <= 0) {
        return false;
    }
    selectionRuleBefore(shift);
    // A page is the whole cells the window shows, so the view stays on a cell boundary and the
    // cursor keeps its place in the window (the same as a window's width when it holds whole
    // cells).
    const int cells = std::max(m_visible[a], 1);
    m_view[a] -= cells * m_cell[a];
    m_cursor[a] -= cells;
    if (m_view[a] < 1) {
        m_view[a] = 0;
        m_cursor[a] = 0;
    }
    m_cursor[a] = std::max(m_cursor[a], 0);
    refreshView();
    selectionFollow(a, shift);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::pageForward(Axis a, bool shift) {
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
    refreshView();
    selectionFollow(a, shift);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::goHome(Axis a, bool shift) {
    if (m_cursor[a] <= 0) {
        return false;
    }
    selectionRuleBefore(shift);
    m_cursor[a] = 0;
    m_view[a] = 0;
    refreshView();
    selectionFollow(a, shift);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::goEnd(Axis a, bool shift) {
    if (m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore(shift);
    m_cursor[a] = lastCell(a);
    m_view[a] = m_maxView[a];
    refreshView();
    selectionFollow(a, shift);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::zoomByKey(int key, bool ctrl) {
    if (!ctrl) {
        return false;
    }
    switch (key) {
        case platform::VK_OEM_PLUS:
        case platform::VK_ADD:
            setZoom(m_zoom.in());
            return true;
        case platform::VK_OEM_MINUS:
        case platform::VK_SUBTRACT:
            setZoom(m_zoom.out());
            return true;
        case '0':
        case platform::VK_NUMPAD0:
            setZoom(Zoom{});
            return true;
        default:
            return false;
    }
}

// --- Scroll bars and wheel.

bool CellGridScreen::scrollBy(Axis a, int cells, bool shift) {
    // The cursor keeps its place in the window; the cells under it change.
    const int position = m_view[a] / m_cell[a];
    const int target = std::clamp(position + cells, 0, m_maxView[a] / m_cell[a]);
    if (target == position) {
        return false;
    }
    const int spriteCell = m_cursor[a] - position;
    m_view[a] = target * m_cell[a];
    m_cursor[a] = std::clamp(target + spriteCell, 0, std::max(lastCell(a), 0));
    refreshView();
    updateScrollPositions();
    selectionFollow(a, shift);
    updateTitle();
    return true;
}

void CellGridScreen::onScroll(platform::ScrollAxis axis, int code, int position) {
    if (!acceptsInput()) {
        return;
    }
    const Axis a = axis == platform::ScrollAxis::Horizontal ? X : Y;
    const int range = m_maxView[a] / m_cell[a];
    const int current = m_view[a] / m_cell[a];
    int target = current;
    switch (code) {
        case platform::SB_LINEUP:
        case platform::SB_PAGEUP:  // a page is one cell
            target = current - 1;
            break;
        case platform::SB_LINEDOWN:
        case platform::SB_PAGEDOWN:
            target = current + 1;
            break;
        case platform::SB_THUMBPOSITION:
        case platform::SB_THUMBTRACK:
            target = position;
            break;
        case platform::SB_TOP:
            target = 0;
            break;
        case platform::SB_BOTTOM:
            target = range;
            break;
        default:
            return;
    }
    target = std::clamp(target, 0, range);
    if (target == current) {
        return;
    }
    const bool shift = m_host.isKeyDown(platform::VK_SHIFT);
    selectionRuleBefore(shift);
    scrollBy(a, target - current, shift);
}

void CellGridScreen::onMouseWheel(int delta, int keys, int x, int y) {
    if (!acceptsInput()) {
        return;
    }
    if ((keys & platform::MK_CONTROL) != 0) {
        // A notch a step; the host has already summed a touchpad's fractions into notches.
        const int steps = delta / platform::WHEEL_DELTA != 0 ? delta / platform::WHEEL_DELTA
                                                             : (delta > 0 ? 1 : -1);
        Zoom zoom = m_zoom;
        for (int i = 0; i < std::abs(steps); ++i) {
            zoom = steps > 0 ? zoom.in() : zoom.out();
        }
        setZoom(zoom, {x, y});
        return;
    }
    const bool shift = m_host.isKeyDown(platform::VK_SHIFT);
    selectionRuleBefore(shift);
    const Axis a = (keys & platform::MK_RBUTTON) != 0 ? X : Y;
    // At the view's end nothing scrolls, but the selection rule may have started or ended a
    // selection, which the title shows.
    if (!scrollBy(a, delta < 1 ? 1 : -1, shift)) {
        updateTitle();
    }
}

// --- Mouse.

bool CellGridScreen::leftButtonDown(int x, int y) {
    const int column = cellAt(X, x), row = cellAt(Y, y);
    if (!containsCell(column, row)) {
        return false;
    }
    m_cursor[X] = column;
    m_cursor[Y] = row;
    placeCursorSprite();
    // Remembered in every case, so that auto-scroll never acts on the position of an older drag.
    m_pointer = {x, y};
    m_leftDrag = true;
    const bool inside = m_selectionShown && column >= std::min(m_start[X], m_end[X]) &&
                        column <= std::max(m_start[X], m_end[X]) &&
                        row >= std::min(m_start[Y], m_end[Y]) &&
                        row <= std::max(m_start[Y], m_end[Y]);
    if (!inside) {
        clearSelection();
        startSelection();
    }
    updateTitle();
    return true;
}

void CellGridScreen::onLeftButtonDown(int x, int y) {
    if (acceptsInput()) {
        leftButtonDown(x, y);
    }
}

void CellGridScreen::onMouseMove(int x, int y, int keys) {
    if (!acceptsInput()) {
        return;
    }
    if ((keys & platform::MK_RBUTTON) != 0) {
        panTo(x, y);
    } else if ((keys & platform::MK_LBUTTON) != 0) {
        dragTo(x, y);
    }
}

void CellGridScreen::dragTo(int x, int y) {
    // Only a drag that began with a click in the cells selects.
    if (!m_leftDrag || extent(X) <= 0 || extent(Y) <= 0) {
        return;
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
    if (changed) {
        placeCursorSprite();
        drawSelection();
        updateScrollPositions();
        updateTitle();
    }
}

void CellGridScreen::onLeftButtonUp() {
    m_leftDrag = false;
}

void CellGridScreen::onRightButtonDown(int x, int y) {
    if (!acceptsInput()) {
        return;
    }
    if (!m_panning) {
        m_panReference = {x, y};
        m_panning = true;
    }
}

void CellGridScreen::onRightButtonUp() {
    m_panning = false;
}

void CellGridScreen::panTo(int x, int y) {
    if (!m_panning) {
        return;
    }
    const bool hadSelection = m_selectionShown;
    if (hadSelection) {
        clearSelection();
    }
    // Twelve pixels of pointer movement per cell at 1:1, as many more or fewer as the zoom
    // makes cells larger or smaller, towards zero; the pointer drags the map, so moving it left
    // shows cells further right.
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
    if (delta[X] != 0 || delta[Y] != 0) {
        updateScrollPositions();
        refreshView();
        updateTitle();
        m_panReference = {x, y};
    } else if (hadSelection) {
        updateTitle();
    }
}

bool CellGridScreen::autoScrollStep() {
    platform::NativeWindow* window = GetWindow();
    if (!m_leftDrag || window == nullptr || extent(X) <= 0 || extent(Y) <= 0) {
        return false;
    }
    const platform::Point pointer = window->pointerInClient();
    if (pointer.x < 0 || pointer.y < 0 || pointer.x >= m_window[X] || pointer.y >= m_window[Y]) {
        return false;
    }
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
    if (moved) {
        refreshView();
        updateScrollPositions();
        updateTitle();
    }
    return moved;
}
