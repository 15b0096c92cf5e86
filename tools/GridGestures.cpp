#include "tools/GridGestures.h"

#include <algorithm>

#include "grid/CellGridScreen.h"
#include "platform/Message.h"
#include "platform/ScrollInfo.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"

namespace {

constexpr int kX = CellGridScreen::X;
constexpr int kY = CellGridScreen::Y;

}  // namespace

int GridGestures::pixel(int axis, int cell) const {
    const int size = axis == kX ? m_screen.cellSize().width : m_screen.cellSize().height;
    const int view = axis == kX ? m_screen.viewPosition().x : m_screen.viewPosition().y;
    return cell * size - view;
}

void GridGestures::scrollIntoView(int column, int row) {
    const int cells[2] = {column, row};
    for (int axis : {kX, kY}) {
        const int window = axis == kX ? m_screen.windowSize().width : m_screen.windowSize().height;
        const int at = pixel(axis, cells[axis]);
        if (at >= 0 && at < window) {
            continue;
        }
        // The thumb at the cell, or as far as it goes: the view's reach is rounded down to
        // whole cells, which still leaves the first pixel of the last cell in the window.
        const int size = axis == kX ? m_screen.cellSize().width : m_screen.cellSize().height;
        const int reach = axis == kX ? m_screen.maximumView().x : m_screen.maximumView().y;
        m_screen.onScroll(
            axis == kX ? platform::ScrollAxis::Horizontal : platform::ScrollAxis::Vertical,
            platform::SB_THUMBPOSITION, std::min(cells[axis], reach / size));
    }
}

void GridGestures::click(int column, int row) {
    scrollIntoView(column, row);
    m_leftButtonDown(pixel(kX, column), pixel(kY, row));
    m_screen.onLeftButtonUp();
}

bool GridGestures::dropSelection() {
    if (m_screen.isSelectionShown()) {
        m_screen.onRightButtonDown(0, 0);
        m_screen.onMouseMove(0, 0, platform::MK_RBUTTON);
        m_screen.onRightButtonUp();
    }
    return !m_screen.isSelectionShown();
}

bool GridGestures::moveCursor(int column, int row) {
    // A click inside a selection would keep it; a click elsewhere starts a one-cell one.
    dropSelection();
    click(column, row);
    dropSelection();
    return m_screen.cursorColumn() == column && m_screen.cursorRow() == row &&
           !m_screen.isSelectionShown();
}

bool GridGestures::select(int x1, int y1, int x2, int y2) {
    dropSelection();
    click(x1, y1);
    if (x2 != x1 || y2 != y1) {
        // With Shift held the scroll bars keep the selection and its moving corner follows the
        // cursor, which keeps its place in the window.
        m_host.setKeyDown(platform::VK_SHIFT, true);
        scrollIntoView(x2, y2);
        m_host.setKeyDown(platform::VK_SHIFT, false);
        // The cursor is the moving corner: a click on it keeps the selection and starts a
        // drag that takes the corner along.
        m_leftButtonDown(pixel(kX, m_screen.cursorColumn()), pixel(kY, m_screen.cursorRow()));
        m_screen.onMouseMove(pixel(kX, x2), pixel(kY, y2), platform::MK_LBUTTON);
        m_screen.onLeftButtonUp();
    }
    return m_screen.isSelectionShown() &&
           m_screen.selectionCorners() == SelectionRect{x1, y1, x2, y2} &&
           m_screen.cursorColumn() == x2 && m_screen.cursorRow() == y2;
}
