#include "grid/CellGridScreen.h"

#include <algorithm>
#include <cstdint>

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxLayer.h"
#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "platform/Host.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/Texts.h"

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
    auto* sprite = &parent->AddChild<CNxSprite>(surface);
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
        auto* node = &AddChild<CNxLayer>();
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

    buildCursor();
    buildGrid();
    fillEdges();
    m_fillSurface->Fill(nullptr, m_selectionFillColour);
}

CellGridScreen::~CellGridScreen() {
    // The sprites go before the surfaces they show.
    ClearChildren();
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

void CellGridScreen::fitWindowSize(int width, int height) {
    applyWindowSize(width, height);
    layout();
    refreshView();
    updateScrollPositions();
}

void CellGridScreen::setCellSize(int width, int height) {
    m_cell[X] = width;
    m_cell[Y] = height;
    buildCursor();
    buildGrid();
}

bool CellGridScreen::checkWindowSize(int width, int height, platform::NativeWindow* owner) const {
    if (width >= kMinWindowWidth && width <= kMaxWindowWidth && height >= kMinWindowHeight &&
        height <= kMaxWindowHeight) {
        return true;
    }
    m_host.showError(
        owner,
        m_host.formatText(
            PELORIN_TEXT("不正な値が入力されました。ウィンドウの横サイズは%d～%d、縦サイズは%d～%d"
                         "の範囲内に納めて下さい。"),
            kMinWindowWidth, kMaxWindowWidth, kMinWindowHeight, kMaxWindowHeight),
        PELORIN_TEXT("ウィンドウサイズ変更エラー"));
    return false;
}

void CellGridScreen::setTitle(const std::string& title) {
    if (platform::NativeWindow* window = GetWindow()) {
        window->setTitle(title);
    }
}

// --- Surfaces.

// The cursor frame for a cell as the window shows it: a cell of a fraction of a pixel still
// gets one pixel.
void CellGridScreen::buildCursor() {
    const int width = std::max(1, screenOf(X, 1)), height = std::max(1, screenOf(Y, 1));
    m_frame = std::min(width, height) >= 16 ? kFrameThickness : 1;
    const int inset = m_frame + (m_cursorWideEdges ? 1 : 0);
    m_cursorSurface->Create(width, -height);
    m_cursorSurface->Fill(nullptr, m_cursorColour);
    if (width > m_frame + inset && height > m_frame + inset) {
        const RECT inner{m_frame, m_frame, width - inset, height - inset};
        m_cursorSurface->Fill(&inner, 0);
    }
    m_cursorSprite->SetSurface(m_cursorSurface.get());
}

// Lines on the last window pixel of every cell, while cells are large enough for lines to say
// something.
void CellGridScreen::buildGrid() {
    m_gridSurface->Fill(nullptr, 0);
    // Without lines the sprite would only cost its drawing.
    m_gridDrawn = screenOf(X, 1) >= 4 && screenOf(Y, 1) >= 4;
    m_gridSprite->SetVisible(m_gridShown && m_gridDrawn);
    if (m_gridDrawn) {
        for (int k = 1, y; (y = screenOf(Y, k) - 1) < kMaxHeight; ++k) {
            m_gridSurface->Fill(0, y, kMaxWidth, 1, m_gridColour);
        }
        for (int k = 1, x; (x = screenOf(X, k) - 1) < kMaxWidth; ++k) {
            m_gridSurface->Fill(x, 0, 1, kMaxHeight, m_gridColour);
        }
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
        m_cursorWideEdges = true;
        buildCursor();
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
    m_gridSprite->SetVisible(m_gridShown && m_gridDrawn);
}

// --- Geometry.

void CellGridScreen::layout() {
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
    m_cursorSprite->SetPosition(screenOf(X, m_cursor[X] - firstCell(X)),
                                screenOf(Y, m_cursor[Y] - firstCell(Y)));
}

int CellGridScreen::screenOf(Axis axis, int cells) const {
    const std::int64_t pixels = std::int64_t(cells) * m_cell[axis] * m_zoom.num;
    // Rounded down on both sides of the view's first cell.
    return static_cast<int>(pixels >= 0 ? pixels / m_zoom.den
                                        : -((-pixels + m_zoom.den - 1) / m_zoom.den));
}

bool CellGridScreen::reachesEnd(Axis axis, int k) const {
    return (std::int64_t(k) + 1) * m_cell[axis] * m_zoom.num >=
           std::int64_t(m_window[axis]) * m_zoom.den;
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

bool CellGridScreen::setZoom(Zoom zoom, platform::Point anchor) {
    if (zoom == m_zoom || zoom.stepIndex() < 0) {
        return false;
    }
    // The cell under the anchor, and where in the window it is to stay.
    const int pixel[2] = {anchor.x, anchor.y};
    int cell[2];
    for (Axis a : {X, Y}) {
        cell[a] = std::clamp(cellAt(a, pixel[a]), 0, std::max(extent(a) - 1, 0));
    }
    m_zoom = zoom;
    buildCursor();
    buildGrid();
    layout();
    for (Axis a : {X, Y}) {
        const std::int64_t before = std::int64_t(std::max(pixel[a], 0)) * m_zoom.den /
                                    (std::int64_t(m_cell[a]) * m_zoom.num);
        m_view[a] = static_cast<int>(std::max<std::int64_t>(cell[a] - before, 0)) * m_cell[a];
    }
    refreshView();
    updateScrollPositions();
    updateTitle();
    return true;
}

bool CellGridScreen::setZoom(Zoom zoom) {
    platform::Point anchor{m_window[X] / 2, m_window[Y] / 2};
    const int k[2] = {m_cursor[X] - firstCell(X), m_cursor[Y] - firstCell(Y)};
    if (k[X] >= 0 && k[Y] >= 0 && k[X] <= m_visible[X] && k[Y] <= m_visible[Y]) {
        anchor = {screenOf(X, k[X]), screenOf(Y, k[Y])};
    }
    return setZoom(zoom, anchor);
}

Zoom CellGridScreen::fittingZoom() const {
    for (int i = Zoom::kOneStep; i > 0; --i) {
        const Zoom zoom = Zoom::step(i);
        if (zoom.toScreen(std::int64_t(extent(X)) * m_cell[X]) <= m_window[X] &&
            zoom.toScreen(std::int64_t(extent(Y)) * m_cell[Y]) <= m_window[Y]) {
            return zoom;
        }
    }
    return Zoom::step(0);
}

int CellGridScreen::cellAt(Axis axis, int pixel) const {
    const std::int64_t scaled = std::int64_t(pixel) * m_zoom.den;
    const std::int64_t cell = std::int64_t(m_cell[axis]) * m_zoom.num;
    // Towards zero, as at 1:1: a pixel left of the window is in the first cell's column.
    return static_cast<int>(scaled / cell) + firstCell(axis);
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
        lo[a] = screenOf(a, std::min(m_start[a], m_end[a]) - firstCell(a));
        hi[a] = std::max(screenOf(a, std::max(m_start[a], m_end[a]) + 1 - firstCell(a)), lo[a] + 1);
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
    const RECT vertical{0, 0, m_frame, height};
    const RECT horizontal{0, 0, width, m_frame};
    struct Edge {
        int index;
        int x, y;
        bool shown;
    };
    const Edge edges[4] = {
        {kLeftEdge, lo[X], visibleLo[Y], lo[X] >= 0},
        {kRightEdge, hi[X] - m_frame, visibleLo[Y], hi[X] - m_frame < m_window[X]},
        {kTopEdge, visibleLo[X], lo[Y], lo[Y] >= 0},
        {kBottomEdge, visibleLo[X], hi[Y] - m_frame, hi[Y] - m_frame < m_window[Y]},
    };
    for (const Edge& edge : edges) {
        CNxSprite* sprite = m_edgeSprites[edge.index];
        const bool isVertical = edge.index == kLeftEdge || edge.index == kRightEdge;
        sprite->SetRect(isVertical ? &vertical : &horizontal);
        sprite->SetPosition(edge.x, edge.y);
        sprite->SetVisible(edge.shown);
    }
}
