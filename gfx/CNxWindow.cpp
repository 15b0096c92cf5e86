#include "gfx/CNxWindow.h"

#include <algorithm>

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxSurface.h"
#include "platform/Message.h"
#include "platform/NativeWindow.h"

namespace {

std::uint32_t powerOfTwoAtLeast(std::uint32_t n) {
    std::uint32_t p = 1;
    while (p < n && p < (1u << 30)) {
        p <<= 1;
    }
    return p;
}

}  // namespace

CNxWindow::CNxWindow() {
    m_dirtyTracking = true;
}

CNxWindow::~CNxWindow() {
    Detach();
    // The tree goes before the window's own parts, which its destructor no longer needs.
    ClearChildren();
}

CNxLayer* CNxWindow::SetParent(CNxLayer*) {
    return nullptr;
}

void CNxWindow::SetRect(const RECT* rect) {
    CNxLayer::SetRect(rect);
    rebuildTileMap();
}

void CNxWindow::rebuildTileMap() {
    if (m_dirtyTracking) {
        if (!m_tileMap) {
            m_tileMap = std::make_unique<CNxTileMap>();
        }
        m_tileMap->Reset(m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_tileWidth,
                         m_tileHeight);
    } else {
        m_tileMap.reset();
    }
}

bool CNxWindow::createBackBuffer() {
    // As wide as the widest whole number of tiles in 2048 pixels (one tile at least), one tile
    // high: small enough to stay in the cache, and wide enough that a run across a whole window
    // reads whole rows of the pictures under it, which the processor fetches as one stream
    // rather than as a short run per row.
    constexpr std::int32_t kBandWidth = 2048;
    const std::int32_t width = std::max<std::int32_t>(
        kBandWidth - kBandWidth % static_cast<std::int32_t>(
                                      std::min<std::uint32_t>(m_tileWidth, kBandWidth)),
        static_cast<std::int32_t>(m_tileWidth));
    const std::int32_t height = static_cast<std::int32_t>(m_tileHeight);
    if (m_backBuffer && m_backBuffer->GetHeight() == height &&
        m_backBuffer->GetWidth() % static_cast<std::int32_t>(m_tileWidth) == 0 &&
        m_backBuffer->GetWidth() >= static_cast<std::int32_t>(m_tileWidth)) {
        return true;
    }
    auto buffer = std::make_unique<CNxSurface>(32);
    if (!buffer->Create(width, height)) {
        return false;
    }
    m_backBuffer = std::move(buffer);
    return true;
}

void CNxWindow::SetTileSize(std::uint32_t width, std::uint32_t height) {
    m_tileWidth = powerOfTwoAtLeast(std::max<std::uint32_t>(width, 1));
    m_tileHeight = powerOfTwoAtLeast(std::max<std::uint32_t>(height, 1));
    rebuildTileMap();
    m_backBuffer.reset();
    createBackBuffer();
}

int CNxWindow::Attach(platform::NativeWindow* window, platform::MessageHandler* next) {
    if (m_window != nullptr || window == nullptr) {
        return 0;
    }
    if (!createBackBuffer()) {
        return 0;
    }
    m_window = window;
    m_next = next;
    window->setHandler(this);
    const platform::Size client = window->clientSize();
    const RECT rect{0, 0, client.width, client.height};
    SetRect(&rect);
    return 1;
}

void CNxWindow::Detach() {
    if (m_window == nullptr) {
        return;
    }
    m_window->setHandler(m_next);
    m_backBuffer.reset();
    m_window = nullptr;
    m_next = nullptr;
}

void CNxWindow::handleMessage(platform::NativeWindow& window, const platform::Message& message) {
    // The next handler may delete this object (the map window's tear-down does), so nothing of
    // it is touched after handing the message on.
    platform::MessageHandler* next = m_next;
    OnMessage(message);
    if (next != nullptr) {
        next->handleMessage(window, message);
    }
}

void CNxWindow::OnMessage(const platform::Message& message) {
    if (message.message == platform::WM_SIZE && message.code != platform::SIZE_MINIMIZED) {
        const RECT rect{0, 0, message.width, message.height};
        SetRect(&rect);
    } else if (message.message == platform::WM_DESTROY) {
        Detach();
    }
}

bool CNxWindow::GetCursorPos(std::int32_t& x, std::int32_t& y) const {
    if (m_window == nullptr) {
        return false;
    }
    const platform::Point p = m_window->pointerInClient();
    x = p.x;
    y = p.y;
    return true;
}

std::uint32_t CNxWindow::SetBackgroundColour(std::uint32_t colour) {
    const std::uint32_t previous = m_backgroundColour;
    m_backgroundColour = colour;
    Invalidate();
    return previous;
}

std::uint32_t CNxWindow::SetFadeLevel(std::uint32_t level) {
    const std::uint32_t previous = m_fadeLevel;
    if (level < 512 && level != m_fadeLevel) {
        m_fadeLevel = level;
        Invalidate();
    }
    return previous;
}

void CNxWindow::SetDirtyTracking(bool on) {
    m_dirtyTracking = on;
    rebuildTileMap();
}

bool CNxWindow::Draw(CNxSurface* surface, const RECT* rect) {
    if (!m_visible) {
        surface->Fill(rect, m_fadeBlack);
    } else if ((m_backgroundColour >> 24) != 0) {
        surface->Fill(rect, m_backgroundColour);
    }
    return true;
}

void CNxWindow::DrawAfterChildren(CNxSurface* surface, const RECT* rect) {
    if (m_fadeLevel == 255) {
        return;
    }
    CNxBlitParams params;
    params.m_flags = NxBlt_ColourSource;
    if (m_fadeLevel < 255) {
        params.m_colour = (m_fadeBlack & 0x00FFFFFF) | (255 - m_fadeLevel) << 24;
    } else {
        params.m_colour = (m_fadeWhite & 0x00FFFFFF) | (m_fadeLevel - 256) << 24;
    }
    surface->Blit(rect, nullptr, nullptr, &params);
}

bool CNxWindow::BeginPresent() {
    return m_backBuffer != nullptr && m_backBuffer->GetDC() != nullptr;
}

void CNxWindow::EndPresent() {
    if (m_backBuffer != nullptr) {
        m_backBuffer->ReleaseDC();
    }
}

void CNxWindow::sortChildren(CNxLayer& node) {
    if (node.m_needsSort) {
        std::stable_sort(node.m_children.begin(), node.m_children.end(),
                         [](const std::unique_ptr<CNxLayer>& a,
                            const std::unique_ptr<CNxLayer>& b) { return a->m_z < b->m_z; });
        node.m_needsSort = false;
    }
}

void CNxWindow::foldChanges(CNxLayer& node) {
    // Whatever a changed node (or anything under it) showed is redrawn, and all of it is
    // invalid so that its new area is redrawn and remembered when it is visited.
    if (m_tileMap) {
        m_tileMap->MarkDirty(node.m_lastRect);
    }
    node.m_invalid = node.m_rect;
    node.m_invalidFlag = true;
    node.m_changeFlags = 0;
    for (const auto& child : node.m_children) {
        foldChanges(*child);
    }
}

bool CNxWindow::collect(CNxLayer& node, const RECT& clip, std::int32_t x, std::int32_t y,
                        bool hooks, bool isRoot) {
    bool changed = false;
    if (hooks) {
        node.OnUpdate();
    }
    if (node.m_changeFlags != 0) {
        foldChanges(node);
        changed = true;
    }
    if (!nx::isEmpty(node.m_updateRect)) {
        if (m_tileMap) {
            m_tileMap->MarkDirty(node.m_updateRect);
        }
        node.m_updateRect = RECT{0, 0, 0, 0};
        changed = true;
    }
    if (!isRoot) {
        if (!node.m_visible) {
            return changed;
        }
        x += node.m_x + node.m_offsetX;
        y += node.m_y + node.m_offsetY;
    }
    if (!nx::isEmpty(node.m_invalid)) {
        const bool whole = node.m_invalid == node.m_rect;
        const RECT visible = nx::intersect(
            nx::offset(node.m_invalid, x - node.m_rect.left, y - node.m_rect.top), clip);
        if (!nx::isEmpty(visible)) {
            if (m_tileMap) {
                m_tileMap->MarkDirty(visible);
            }
            if (whole) {
                node.m_lastRect = visible;
            }
            node.m_invalidFlag = false;
            node.OnInvalidated();
            changed = true;
        } else if (whole) {
            node.m_lastRect = RECT{0, 0, 0, 0};
        }
        node.m_invalid = RECT{0, 0, 0, 0};
    }
    if (node.m_clipChildren && nx::isEmpty(node.m_lastRect)) {
        return changed;
    }
    sortChildren(node);
    const RECT childClip = node.m_clipChildren ? node.m_lastRect : clip;
    // A hook may add or remove nodes: visit a copy of the list, skipping any child that has
    // left this node meanwhile (a removed child is out of the list, and may be gone).
    const std::vector<CNxLayer*> children = node.GetChildren();
    for (CNxLayer* child : children) {
        if (std::any_of(node.m_children.begin(), node.m_children.end(),
                        [child](const std::unique_ptr<CNxLayer>& c) { return c.get() == child; })) {
            changed = collect(*child, childClip, x, y, hooks, false) || changed;
        }
    }
    return changed;
}

void CNxWindow::render(CNxLayer& node, const RECT& clip, std::int32_t x, std::int32_t y,
                       bool isRoot, const RECT& tile) {
    if (!isRoot) {
        if (!node.m_visible) {
            return;
        }
        x += node.m_x + node.m_offsetX;
        y += node.m_y + node.m_offsetY;
    }
    const RECT placed = nx::offset(node.m_rect, x - node.m_rect.left, y - node.m_rect.top);
    const RECT visible = nx::intersect(placed, clip);
    sortChildren(node);
    if (nx::isEmpty(visible)) {
        if (!node.m_clipChildren) {
            for (const auto& child : node.m_children) {
                render(*child, clip, x, y, false, tile);
            }
        }
        return;
    }
    // Content coordinates of the node land on the window through the surface's origin.
    const RECT content = nx::offset(visible, node.m_rect.left - x, node.m_rect.top - y);
    const std::int32_t originX = x - node.m_rect.left - tile.left;
    const std::int32_t originY = y - node.m_rect.top - tile.top;
    const RECT bufferClip = nx::offset(visible, -tile.left, -tile.top);
    m_backBuffer->SetOrigin(originX, originY);
    m_backBuffer->SetClipRect(&bufferClip);
    if (node.Draw(m_backBuffer.get(), &content)) {
        const RECT childClip = node.m_clipChildren ? visible : clip;
        for (const auto& child : node.m_children) {
            render(*child, childClip, x, y, false, tile);
        }
    }
    m_backBuffer->SetOrigin(originX, originY);
    m_backBuffer->SetClipRect(&bufferClip);
    node.DrawAfterChildren(m_backBuffer.get(), &content);
}

void CNxWindow::PresentTile(const RECT& rect) {
    const std::int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (m_backBuffer == nullptr || m_window == nullptr || w <= 0 || h <= 0) {
        return;
    }
    render(*this, rect, 0, 0, true, rect);
    m_backBuffer->SetOrigin(0, 0);
    m_backBuffer->SetClipRect(nullptr);
    const CNxDIBImage& image = m_backBuffer->GetImage();
    m_window->present(platform::Rect{rect.left, rect.top, rect.right, rect.bottom},
                      reinterpret_cast<const std::uint32_t*>(image.GetTopRow()), image.GetPitch());
}

int CNxWindow::Update(bool force) {
    if (m_window == nullptr) {
        return 0;
    }
    if (force && m_tileMap) {
        m_tileMap->MarkAll();
    }
    const bool changed = collect(*this, m_rect, 0, 0, !force, true);
    if (!changed && !force) {
        return 1;
    }
    if (!BeginPresent()) {
        return 0;
    }
    const std::int32_t tw = static_cast<std::int32_t>(m_tileWidth);
    const std::int32_t th = static_cast<std::int32_t>(m_tileHeight);
    const std::int32_t bufferWidth = m_backBuffer->GetWidth();
    const std::int32_t bufferHeight = m_backBuffer->GetHeight();
    if (m_tileMap) {
        const int maxColumns = std::max(1, (bufferWidth + tw - 1) / tw);
        const int maxRows = std::max(1, (bufferHeight + th - 1) / th);
        m_tileMap->TakeRuns(maxColumns, maxRows, [this](const RECT& r) { PresentTile(r); });
    } else {
        const std::int32_t stepX = (bufferWidth + tw - 1) / tw * tw;
        const std::int32_t stepY = (bufferHeight + th - 1) / th * th;
        for (std::int32_t y = m_rect.top; y < m_rect.bottom; y += stepY) {
            for (std::int32_t x = m_rect.left; x < m_rect.right; x += stepX) {
                PresentTile(RECT{x, y, std::min(x + stepX, m_rect.right),
                                 std::min(y + stepY, m_rect.bottom)});
            }
        }
    }
    EndPresent();
    return 1;
}
