#include "grid/CellGridScreen.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxLayer.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/VirtualKey.h"

namespace {

// The largest window either screen allows: the shared surfaces are made this large once, so
// that no later size change has to grow them.
constexpr int kMaxWidth = CellGridScreen::kMaxWindowWidth;
constexpr int kMaxHeight = CellGridScreen::kMaxWindowHeight;
constexpr RECT kMaxArea{0, 0, kMaxWidth, kMaxHeight};

constexpr int kLeftEdge = 0, kRightEdge = 1, kTopEdge = 2, kBottomEdge = 3;

constexpr std::int32_t kCursorZ = 255;
constexpr std::int32_t kFrameZ = 250;
constexpr std::int32_t kFillZ = 249;

std::unique_ptr<CNxSurface> makeSurface(int width, int height) {
    auto surface = std::make_unique<CNxSurface>(32);
    surface->Create(width, -height);
    return surface;
}

CNxSprite* makeSprite(CNxLayer* parent, const CNxSurface* surface, std::int32_t z, bool visible) {
    auto* sprite = new CNxSprite(parent, surface);
    CNxBlitParams params;
    params.m_flags = NxBlt_SourceAlpha;
    sprite->SetParams(&params);
    sprite->SetZOrder(z);
    sprite->SetVisible(visible);
    return sprite;
}

platform::ScrollAxis scrollAxis(CellGridScreen::Axis axis) {
    return axis == CellGridScreen::X ? platform::ScrollAxis::Horizontal
                                     : platform::ScrollAxis::Vertical;
}

}  // namespace

CellGridScreen::CellGridScreen(platform::Host& host, const LayerPlan& plan, int windowWidth,
                               int windowHeight)
    : m_host(host), m_window{windowWidth, windowHeight} {
    for (int i = 0; i < plan.count; ++i) {
        auto* node = new CNxLayer(this);
        node->SetZOrder(i);
        node->SetRect(&kMaxArea);
        m_layers.push_back(node);
    }
    m_gridSurface = makeSurface(kMaxWidth, kMaxHeight);
    m_gridSprite = makeSprite(layer(plan.grid), m_gridSurface.get(), 0, true);
    m_cursorSurface = makeSurface(m_cell[X], m_cell[Y]);
    m_cursorSprite = makeSprite(layer(plan.cursor), m_cursorSurface.get(), kCursorZ, true);
    for (int edge = 0; edge < 4; ++edge) {
        const bool vertical = edge == kLeftEdge || edge == kRightEdge;
        m_edgeSurfaces[edge] = vertical ? makeSurface(kFrameThickness, kMaxHeight)
                                        : makeSurface(kMaxWidth, kFrameThickness);
        m_edgeSprites[edge] =
            makeSprite(layer(plan.selectionFrame), m_edgeSurfaces[edge].get(), kFrameZ, false);
    }
    m_fillSurface = makeSurface(kMaxWidth, kMaxHeight);
    m_fillSprite = makeSprite(layer(plan.selectionFill), m_fillSurface.get(), kFillZ, false);

    buildCursor(kFrameThickness);
    buildGrid();
    fillEdges();
    m_fillSurface->Fill(nullptr, m_selectionFillColour);
}

CellGridScreen::~CellGridScreen() {
    // The sprites go before the surfaces they show.
    while (!m_children.empty()) {
        delete m_children.back();
    }
}

bool CellGridScreen::bindWindow(platform::NativeWindow* window, int width, int height,
                                platform::MessageHandler* next) {
    if (!Attach(window, next)) {
        return false;
    }
    SetBackgroundColour(0xFF000000);
    applyWindowSize(width, height);
    return true;
}

void CellGridScreen::applyWindowSize(int width, int height) {
    m_window[X] = width;
    m_window[Y] = height;
    SetScreenMode(width, height, false);
}

void CellGridScreen::setCellSize(int width, int height) {
    m_cell[X] = width;
    m_cell[Y] = height;
    buildCursor(kFrameThickness);
    buildGrid();
}

std::string CellGridScreen::format(const char* pattern, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    const int length = std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return length < 0 ? std::string()
                      : std::string(text, std::min<std::size_t>(length, sizeof text - 1));
}

void CellGridScreen::setTitle(const std::string& title) {
    if (platform::NativeWindow* window = GetWindow()) {
        window->setTitle(title);
    }
}

// --- Surfaces.

void CellGridScreen::buildCursor(int inset) {
    m_cursorSurface->Create(m_cell[X], -m_cell[Y]);
    m_cursorSurface->Fill(nullptr, m_cursorColour);
    const RECT inner{kFrameThickness, kFrameThickness, m_cell[X] - inset, m_cell[Y] - inset};
    m_cursorSurface->Fill(&inner, 0);
    m_cursorSprite->SetSurface(m_cursorSurface.get());
}

void CellGridScreen::buildGrid() {
    m_gridSurface->Fill(nullptr, 0);
    for (int y = m_cell[Y] - 1; y < kMaxHeight; y += m_cell[Y]) {
        m_gridSurface->Fill(0, y, kMaxWidth, 1, m_gridColour);
    }
    for (int x = m_cell[X] - 1; x < kMaxWidth; x += m_cell[X]) {
        m_gridSurface->Fill(x, 0, 1, kMaxHeight, m_gridColour);
    }
    m_gridSprite->Invalidate();
}

void CellGridScreen::fillEdges() {
    for (int edge = 0; edge < 4; ++edge) {
        m_edgeSurfaces[edge]->Fill(nullptr, m_selectionFrameColour);
        m_edgeSprites[edge]->Invalidate();
    }
}

// --- Colours and switches.

void CellGridScreen::setGridColour(std::uint32_t colour) {
    if (colour != m_gridColour) {
        m_gridColour = colour;
        buildGrid();
    }
}

void CellGridScreen::setCursorColour(std::uint32_t colour) {
    if (colour != m_cursorColour) {
        m_cursorColour = colour;
        buildCursor(kFrameThickness + 1);
    }
}

void CellGridScreen::setSelectionFrameColour(std::uint32_t colour) {
    if (colour != m_selectionFrameColour) {
        m_selectionFrameColour = colour;
        fillEdges();
    }
}

void CellGridScreen::setSelectionFillColour(std::uint32_t colour) {
    if (colour != m_selectionFillColour) {
        m_selectionFillColour = colour;
        m_fillSurface->Fill(nullptr, colour);
        m_fillSprite->Invalidate();
    }
}

void CellGridScreen::setColours(const Colours& colours) {
    setGridColour(colours.grid);
    setCursorColour(colours.cursor);
    setSelectionFrameColour(colours.selectionFrame);
    setSelectionFillColour(colours.selectionFill);
}

CellGridScreen::Colours CellGridScreen::colours() const {
    return {m_gridColour, m_cursorColour, m_selectionFrameColour, m_selectionFillColour};
}

void CellGridScreen::toggleGrid() {
    m_gridShown = !m_gridShown;
    m_gridSprite->SetVisible(m_gridShown);
}

// --- Geometry.

void CellGridScreen::layout() {
    for (Axis a : {X, Y}) {
        m_visible[a] = m_window[a] / m_cell[a];
        const std::int64_t total = std::int64_t(extent(a)) * m_cell[a];
        // Rounded down to whole cells: up to one cell less than a whole one may stay out of
        // reach at the far edge, but the view never stops between two cells.
        m_maxView[a] = total <= m_window[a]
                           ? 0
                           : static_cast<int>((total - m_window[a]) / m_cell[a] * m_cell[a]);
    }
    clampView();
    placeCursorSprite();
    if (!m_scrollBarsShown) {
        return;
    }
    if (acceptsInput()) {
        setScrollBarsShown(true);
    } else if (platform::NativeWindow* window = GetWindow()) {
        // Nothing loaded yet: no bars, but the switch stays on for when there is.
        for (Axis a : {X, Y}) {
            window->setScrollInfo(scrollAxis(a), platform::ScrollInfo{});
            window->showScrollBar(scrollAxis(a), false);
        }
    }
}

void CellGridScreen::clampView() {
    for (Axis a : {X, Y}) {
        m_view[a] = std::clamp(m_view[a], 0, m_maxView[a]);
    }
}

void CellGridScreen::placeCursorSprite() {
    m_cursorSprite->SetPosition(m_cursor[X] * m_cell[X] - m_view[X],
                                m_cursor[Y] * m_cell[Y] - m_view[Y]);
}

void CellGridScreen::refreshView() {
    clampView();
    drawCells();
    placeCursorSprite();
    drawSelection();
}

void CellGridScreen::resetView() {
    clearSelection();
    m_view[X] = m_view[Y] = 0;
    m_cursor[X] = m_cursor[Y] = 0;
    placeCursorSprite();
    updateScrollPositions();
    updateTitle();
}

void CellGridScreen::setCursorAndView(int column, int row, int viewX, int viewY) {
    m_cursor[X] = column;
    m_cursor[Y] = row;
    m_view[X] = viewX;
    m_view[Y] = viewY;
    clampView();
    placeCursorSprite();
}

int CellGridScreen::cellAt(Axis axis, int pixel) const {
    return pixel / m_cell[axis] + m_view[axis] / m_cell[axis];
}

bool CellGridScreen::containsCell(int column, int row) const {
    return column >= 0 && row >= 0 && column < extent(X) && row < extent(Y);
}

// --- Scroll bars.

void CellGridScreen::setScrollBarsShown(bool shown) {
    m_scrollBarsShown = shown;
    platform::NativeWindow* window = GetWindow();
    bool any = false;
    for (Axis a : {X, Y}) {
        const int range = m_maxView[a] / m_cell[a];
        const bool bar = shown && range > 0;
        any = any || bar;
        if (window != nullptr) {
            window->setScrollInfo(scrollAxis(a),
                                  bar ? platform::ScrollInfo{0, range, 1, m_view[a] / m_cell[a]}
                                      : platform::ScrollInfo{});
            window->showScrollBar(scrollAxis(a), bar);
        }
    }
    // A view that cannot scroll gets no bars, and the switch goes off with them.
    m_scrollBarsShown = any;
}

void CellGridScreen::updateScrollPositions() {
    platform::NativeWindow* window = GetWindow();
    if (!m_scrollBarsShown || window == nullptr) {
        return;
    }
    for (Axis a : {X, Y}) {
        const int range = m_maxView[a] / m_cell[a];
        if (range > 0) {
            window->setScrollInfo(scrollAxis(a),
                                  platform::ScrollInfo{0, range, 1, m_view[a] / m_cell[a]});
        }
    }
}

// --- Selection.

CellGridScreen::Selection CellGridScreen::selectionCorners() const {
    return {m_start[X], m_start[Y], m_end[X], m_end[Y]};
}

void CellGridScreen::startSelection() {
    for (Axis a : {X, Y}) {
        m_start[a] = m_end[a] = m_cursor[a];
    }
    m_selectionShown = true;
    m_savedCursor = {m_cursor[X], m_cursor[Y]};
    m_savedView = {m_view[X], m_view[Y]};
    drawSelection();
}

void CellGridScreen::setSelection(const Selection& selection) {
    m_start[X] = selection.x1;
    m_start[Y] = selection.y1;
    m_end[X] = selection.x2;
    m_end[Y] = selection.y2;
    m_selectionShown = true;
    drawSelection();
}

void CellGridScreen::clearSelection() {
    for (Axis a : {X, Y}) {
        m_start[a] = m_end[a] = -1;
    }
    m_selectionShown = false;
    m_fillSprite->SetVisible(false);
    for (CNxSprite* edge : m_edgeSprites) {
        edge->SetVisible(false);
    }
}

void CellGridScreen::drawSelection() {
    if (!m_selectionShown || m_start[X] < 0 || m_start[Y] < 0 || m_end[X] < 0 || m_end[Y] < 0) {
        return;
    }
    // The rectangle in window pixels, and the part of it inside the window.
    int lo[2], hi[2], visibleLo[2], visibleHi[2];
    bool empty = false;
    for (Axis a : {X, Y}) {
        lo[a] = std::min(m_start[a], m_end[a]) * m_cell[a] - m_view[a];
        hi[a] = (std::max(m_start[a], m_end[a]) + 1) * m_cell[a] - m_view[a];
        visibleLo[a] = std::max(lo[a], 0);
        visibleHi[a] = std::min(hi[a], m_window[a]);
        empty = empty || visibleLo[a] >= visibleHi[a];
    }
    if (empty) {
        m_fillSprite->SetVisible(false);
        for (CNxSprite* edge : m_edgeSprites) {
            edge->SetVisible(false);
        }
        return;
    }
    const int width = std::min(visibleHi[X] - visibleLo[X], kMaxWidth);
    const int height = std::min(visibleHi[Y] - visibleLo[Y], kMaxHeight);
    const RECT fill{0, 0, width, height};
    m_fillSprite->SetRect(&fill);
    m_fillSprite->SetPosition(visibleLo[X], visibleLo[Y]);
    m_fillSprite->SetVisible(true);

    // Each edge lies inside the rectangle along its border and is shown only while its pixels
    // are in the window; it reaches over the visible part of the rectangle only.
    const RECT vertical{0, 0, kFrameThickness, height};
    const RECT horizontal{0, 0, width, kFrameThickness};
    struct Edge {
        int index;
        int x, y;
        bool shown;
    };
    const Edge edges[4] = {
        {kLeftEdge, lo[X], visibleLo[Y], lo[X] >= 0},
        {kRightEdge, hi[X] - kFrameThickness, visibleLo[Y], hi[X] - kFrameThickness < m_window[X]},
        {kTopEdge, visibleLo[X], lo[Y], lo[Y] >= 0},
        {kBottomEdge, visibleLo[X], hi[Y] - kFrameThickness, hi[Y] - kFrameThickness < m_window[Y]},
    };
    for (const Edge& edge : edges) {
        CNxSprite* sprite = m_edgeSprites[edge.index];
        const bool isVertical = edge.index == kLeftEdge || edge.index == kRightEdge;
        sprite->SetRect(isVertical ? &vertical : &horizontal);
        sprite->SetPosition(edge.x, edge.y);
        sprite->SetVisible(edge.shown);
    }
}

void CellGridScreen::selectionRuleBefore() {
    const bool shift = m_host.isKeyDown(platform::VK_SHIFT);
    if (!shift && m_selectionShown) {
        clearSelection();
    } else if (shift && !m_selectionShown) {
        startSelection();
    }
}

void CellGridScreen::selectionFollow(Axis axis) {
    if (m_selectionShown && m_host.isKeyDown(platform::VK_SHIFT)) {
        m_end[axis] = m_cursor[axis];
        drawSelection();
    }
}

// --- Navigation by keys.

bool CellGridScreen::stepByArrowKey(int key) {
    switch (key) {
        case platform::VK_LEFT:
            stepCursor(X, -1);
            return true;
        case platform::VK_RIGHT:
            stepCursor(X, 1);
            return true;
        case platform::VK_UP:
            stepCursor(Y, -1);
            return true;
        case platform::VK_DOWN:
            stepCursor(Y, 1);
            return true;
        default:
            return false;
    }
}

bool CellGridScreen::stepCursor(Axis a, int direction) {
    if (direction < 0 ? m_cursor[a] <= 0 : m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore();
    // At the window's edge the view moves under the cursor instead of the cursor moving.
    const int sprite = m_cursor[a] * m_cell[a] - m_view[a];
    bool scrolled = false;
    if (direction < 0 && sprite < 1 && m_view[a] > 0) {
        m_view[a] -= m_cell[a];
        scrolled = true;
    } else if (direction > 0 && sprite >= m_window[a] - m_cell[a] && m_view[a] < m_maxView[a]) {
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
    selectionFollow(a);
    updateTitle();
    return true;
}

bool CellGridScreen::pageBackward(Axis a) {
    if (m_cursor[a] <= 0) {
        return false;
    }
    selectionRuleBefore();
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
    selectionFollow(a);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::pageForward(Axis a) {
    if (m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore();
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
    selectionFollow(a);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::goHome(Axis a) {
    if (m_cursor[a] <= 0) {
        return false;
    }
    selectionRuleBefore();
    m_cursor[a] = 0;
    m_view[a] = 0;
    refreshView();
    selectionFollow(a);
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::goEnd(Axis a) {
    if (m_cursor[a] >= lastCell(a)) {
        return false;
    }
    selectionRuleBefore();
    m_cursor[a] = lastCell(a);
    m_view[a] = m_maxView[a];
    refreshView();
    selectionFollow(a);
    updateScrollPositions();
    updateTitle();
    return true;
}

// --- Scroll bars and wheel.

bool CellGridScreen::scrollBy(Axis a, int cells) {
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
    selectionFollow(a);
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
    selectionRuleBefore();
    scrollBy(a, target - current);
}

void CellGridScreen::onMouseWheel(int delta, int keys) {
    if (!acceptsInput()) {
        return;
    }
    selectionRuleBefore();
    const Axis a = (keys & platform::MK_RBUTTON) != 0 ? X : Y;
    // At the view's end nothing scrolls, but the selection rule may have started or ended a
    // selection, which the title shows.
    if (!scrollBy(a, delta < 1 ? 1 : -1)) {
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
    // Twelve pixels of pointer movement per cell, towards zero; the pointer drags the map, so
    // moving it left shows cells further right.
    const int delta[2] = {(x - m_panReference.x) / kPanPixelsPerCell,
                          (y - m_panReference.y) / kPanPixelsPerCell};
    for (Axis a : {X, Y}) {
        if (delta[a] == 0) {
            continue;
        }
        const int sprite = m_cursor[a] * m_cell[a] - m_view[a];
        if (delta[a] < 0 && m_view[a] < m_maxView[a]) {
            m_view[a] = std::min(m_view[a] - delta[a] * m_cell[a], m_maxView[a]);
        } else if (delta[a] > 0 && m_view[a] > 0) {
            m_view[a] = std::max(m_view[a] - delta[a] * m_cell[a], 0);
        }
        m_cursor[a] = std::clamp((m_view[a] + sprite) / m_cell[a], 0, std::max(lastCell(a), 0));
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
