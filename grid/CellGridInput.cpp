// The input half of the cell-grid screen: cursor keys, pages, Home and End, scroll-bar requests,
// the wheel, clicks and drags, panning with the right button, and auto-scroll near the edges,
// each handed to the model and then shown. Keys arrive with the modifiers held at their press
// (see platform::KeyModifiers); the scroll bars and the wheel read Shift as it is held now.
#include "grid/CellGridScreen.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKey.h"

void CellGridScreen::selectionRuleBefore(bool shift) {
    m_model.selectionRuleBefore(shift);
    drawSelection();
}

void CellGridScreen::selectionFollow(Axis axis, bool shift) {
    m_model.selectionFollow(axis, shift);
    drawSelection();
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
    const platform::Point view = viewPosition();
    if (!m_model.stepCursor(a, direction, shift)) {
        return false;
    }
    if (viewPosition() != view) {
        showScrolledView();
    } else {
        placeCursorSprite();
        drawSelection();
    }
    updateTitle();
    return true;
}

bool CellGridScreen::showMove(bool moved) {
    if (moved) {
        showScrolledView();
        updateTitle();
    }
    return moved;
}

bool CellGridScreen::pageBackward(Axis a, bool shift) {
    return showMove(m_model.pageBackward(a, shift));
}

bool CellGridScreen::pageForward(Axis a, bool shift) {
    return showMove(m_model.pageForward(a, shift));
}

bool CellGridScreen::goHome(Axis a, bool shift) {
    return showMove(m_model.goHome(a, shift));
}

bool CellGridScreen::goEnd(Axis a, bool shift) {
    return showMove(m_model.goEnd(a, shift));
}

bool CellGridScreen::zoomByKey(int key, bool ctrl) {
    if (!ctrl) {
        return false;
    }
    switch (key) {
        case platform::VK_OEM_PLUS:
        case platform::VK_ADD:
            setZoom(zoom().in());
            return true;
        case platform::VK_OEM_MINUS:
        case platform::VK_SUBTRACT:
            setZoom(zoom().out());
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

void CellGridScreen::onScroll(platform::ScrollAxis axis, int code, int position) {
    if (!acceptsInput()) {
        return;
    }
    const Axis a = axis == platform::ScrollAxis::Horizontal ? X : Y;
    const int current = m_model.scrollPosition(a);
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
            target = m_model.scrollRange(a);
            break;
        default:
            return;
    }
    showMove(m_model.scrollTo(a, target, m_host.isKeyDown(platform::VK_SHIFT)));
}

void CellGridScreen::onMouseWheel(int delta, int keys, int x, int y) {
    if (!acceptsInput()) {
        return;
    }
    if ((keys & platform::MK_CONTROL) != 0) {
        setZoom(m_model.wheelZoom(delta), {x, y});
        return;
    }
    const bool shift = m_host.isKeyDown(platform::VK_SHIFT);
    if (m_model.wheel(delta, (keys & platform::MK_RBUTTON) != 0, shift)) {
        showScrolledView();
    } else {
        // At the view's end nothing scrolls, but the Shift rule may have started or ended a
        // selection, which the title shows.
        drawSelection();
    }
    updateTitle();
}

// --- Mouse.

bool CellGridScreen::leftButtonDown(int x, int y) {
    if (!m_model.click(x, y)) {
        return false;
    }
    placeCursorSprite();
    drawSelection();
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
        const bool hadSelection = isSelectionShown();
        if (m_model.panTo(x, y)) {
            updateScrollPositions();
            refreshView();
            updateTitle();
        } else if (hadSelection && !isSelectionShown()) {
            hideSelection();
            updateTitle();
        }
    } else if ((keys & platform::MK_LBUTTON) != 0 && m_model.dragTo(x, y)) {
        placeCursorSprite();
        drawSelection();
        updateScrollPositions();
        updateTitle();
    }
}

void CellGridScreen::onLeftButtonUp() {
    m_model.endLeftDrag();
}

void CellGridScreen::onRightButtonDown(int x, int y) {
    if (acceptsInput()) {
        m_model.startPan(x, y);
    }
}

void CellGridScreen::onRightButtonUp() {
    m_model.endPan();
}

bool CellGridScreen::autoScrollStep() {
    // Asked on every idle pass: the pointer only while a drag is on.
    platform::NativeWindow* window = GetWindow();
    return isLeftDragActive() && window != nullptr &&
           showMove(m_model.autoScrollStep(window->pointerInClient()));
}
