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
constexpr platform::Rect kMaxArea{0, 0, kMaxWidth, kMaxHeight};

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
    : m_host(host) {
    m_model.setWindowSize(windowWidth, windowHeight);
    // Asked only once the derived screen is built.
    m_model.setExtentSource([this](Axis axis) { return extent(axis); });
    for (int i = 0; i < plan.count; ++i) {
        auto* node = &AddChild<CNxLayer>();
        node->SetZOrder(i);
        node->SetRect(&kMaxArea);
        m_layers.push_back(node);
    }
    m_gridSurface = makeSurface(kMaxWidth, kMaxHeight);
    m_gridSprite = makeSprite(layer(plan.grid), m_gridSurface.get(), 0, true);
    m_cursorSurface = makeSurface(m_model.cell(X), m_model.cell(Y));
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

bool CellGridScreen::attach(platform::NativeWindow* window, int width, int height,
                            platform::MessageHandler* next) {
    if (!Attach(window, next)) {
        return false;
    }
    SetBackgroundColour(0xFF000000);
    applyWindowSize(width, height);
    layout();
    return true;
}

void CellGridScreen::applyWindowSize(int width, int height) {
    m_model.setWindowSize(width, height);
    SetScreenMode(width, height, false);
}

void CellGridScreen::fitWindowSize(int width, int height) {
    applyWindowSize(width, height);
    layout();
    refreshView();
    updateScrollPositions();
}

void CellGridScreen::setCellSize(int width, int height) {
    m_model.setCellSize(width, height);
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
        const platform::Rect inner{m_frame, m_frame, width - inset, height - inset};
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
    m_model.layout();
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

void CellGridScreen::placeCursorSprite() {
    const platform::Point at = m_model.cursorPixel();
    m_cursorSprite->SetPosition(at.x, at.y);
}

void CellGridScreen::refreshView() {
    m_model.clampView();
    drawCells();
    placeCursorSprite();
    drawSelection();
}

void CellGridScreen::showScrolledView() {
    refreshView();
    updateScrollPositions();
}

void CellGridScreen::resetView() {
    m_model.reset();
    hideSelection();
    placeCursorSprite();
    updateScrollPositions();
    updateTitle();
}

void CellGridScreen::setCursorAndView(int column, int row, int viewX, int viewY) {
    m_model.setCursorAndView(column, row, viewX, viewY);
    placeCursorSprite();
}

bool CellGridScreen::setZoom(Zoom zoom, platform::Point anchor) {
    if (!m_model.setZoom(zoom, anchor)) {
        return false;
    }
    showZoom();
    return true;
}

bool CellGridScreen::setZoom(Zoom zoom) {
    return setZoom(zoom, m_model.zoomAnchor());
}

void CellGridScreen::showZoom() {
    buildCursor();
    buildGrid();
    layout();
    showScrolledView();
    updateTitle();
}

// --- Scroll bars.

void CellGridScreen::setScrollBarsShown(bool shown) {
    m_scrollBarsShown = shown;
    platform::NativeWindow* window = GetWindow();
    bool any = false;
    for (Axis a : {X, Y}) {
        const int range = m_model.scrollRange(a);
        const bool bar = shown && range > 0;
        any = any || bar;
        if (window != nullptr) {
            window->setScrollInfo(scrollAxis(a),
                                  bar ? platform::ScrollInfo{0, range, 1, m_model.scrollPosition(a)}
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
        const int range = m_model.scrollRange(a);
        if (range > 0) {
            window->setScrollInfo(scrollAxis(a),
                                  platform::ScrollInfo{0, range, 1, m_model.scrollPosition(a)});
        }
    }
}

// --- Selection.

void CellGridScreen::startSelection() {
    m_model.startSelection();
    drawSelection();
}

void CellGridScreen::setSelection(const Selection& selection) {
    m_model.setSelection(selection);
    drawSelection();
}

void CellGridScreen::clearSelection() {
    m_model.clearSelection();
    hideSelection();
}

void CellGridScreen::hideSelection() {
    m_fillSprite->SetVisible(false);
    for (CNxSprite* edge : m_edgeSprites) {
        edge->SetVisible(false);
    }
}

void CellGridScreen::drawSelection() {
    if (!m_model.isSelectionShown()) {
        hideSelection();
        return;
    }
    const Selection s = m_model.selectionCorners();
    if (s.x1 < 0 || s.y1 < 0 || s.x2 < 0 || s.y2 < 0) {
        return;
    }
    // The rectangle in window pixels, and the part of it inside the window.
    const int first[2] = {m_model.firstCell(X), m_model.firstCell(Y)};
    const int low[2] = {s.left(), s.top()}, high[2] = {s.right(), s.bottom()};
    int lo[2], hi[2], visibleLo[2], visibleHi[2];
    bool empty = false;
    for (Axis a : {X, Y}) {
        lo[a] = screenOf(a, low[a] - first[a]);
        hi[a] = std::max(screenOf(a, high[a] + 1 - first[a]), lo[a] + 1);
        visibleLo[a] = std::max(lo[a], 0);
        visibleHi[a] = std::min(hi[a], m_model.window(a));
        empty = empty || visibleLo[a] >= visibleHi[a];
    }
    if (empty) {
        hideSelection();
        return;
    }
    const int width = std::min(visibleHi[X] - visibleLo[X], kMaxWidth);
    const int height = std::min(visibleHi[Y] - visibleLo[Y], kMaxHeight);
    const platform::Rect fill{0, 0, width, height};
    m_fillSprite->SetRect(&fill);
    m_fillSprite->SetPosition(visibleLo[X], visibleLo[Y]);
    m_fillSprite->SetVisible(true);

    // Each edge lies inside the rectangle along its border and is shown only while its pixels
    // are in the window; it reaches over the visible part of the rectangle only.
    const platform::Rect vertical{0, 0, m_frame, height};
    const platform::Rect horizontal{0, 0, width, m_frame};
    struct Edge {
        int index;
        int x, y;
        bool shown;
    };
    const Edge edges[4] = {
        {kLeftEdge, lo[X], visibleLo[Y], lo[X] >= 0},
        {kRightEdge, hi[X] - m_frame, visibleLo[Y], hi[X] - m_frame < m_model.window(X)},
        {kTopEdge, visibleLo[X], lo[Y], lo[Y] >= 0},
        {kBottomEdge, visibleLo[X], hi[Y] - m_frame, hi[Y] - m_frame < m_model.window(Y)},
    };
    for (const Edge& edge : edges) {
        CNxSprite* sprite = m_edgeSprites[edge.index];
        const bool isVertical = edge.index == kLeftEdge || edge.index == kRightEdge;
        sprite->SetRect(isVertical ? &vertical : &horizontal);
        sprite->SetPosition(edge.x, edge.y);
        sprite->SetVisible(edge.shown);
    }
}
