#include "gfx/CNxLayer.h"

#include <algorithm>

namespace nx {

RECT intersect(const RECT& a, const RECT& b) {
    const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return isEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

RECT unite(const RECT& a, const RECT& b) {
    if (isEmpty(a)) {
        return isEmpty(b) ? RECT{0, 0, 0, 0} : b;
    }
    if (isEmpty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT offset(const RECT& r, std::int32_t dx, std::int32_t dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace nx

CNxLayer::CNxLayer(CNxLayer* parent) {
    if (parent != nullptr) {
        SetParent(parent);
    }
}

CNxLayer::~CNxLayer() {
    // Leave the parent first, while the whole subtree still tells what it showed.
    detachFromParent();
    // Children that are still here go with their parent. Each one's own destructor takes it
    // out of m_children, so always delete the last.
    while (!m_children.empty()) {
        delete m_children.back();
    }
}

void CNxLayer::addUpdateArea(const RECT& area) {
    m_updateRect = nx::unite(m_updateRect, area);
}

void CNxLayer::detachFromParent() {
    if (m_parent == nullptr) {
        return;
    }
    // What this subtree showed must be redrawn without it.
    struct Collect {
        static void areas(const CNxLayer* node, CNxLayer* into) {
            into->addUpdateArea(node->m_lastRect);
            for (const CNxLayer* child : node->m_children) {
                areas(child, into);
            }
        }
    };
    Collect::areas(this, m_parent);
    auto& siblings = m_parent->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    m_parent = nullptr;
}

bool CNxLayer::SetVisible(bool visible) {
    const bool previous = m_visible;
    if (visible != m_visible) {
        m_visible = visible;
        m_changeFlags |= Changed | VisibilityChanged;
    }
    return previous;
}

void CNxLayer::SetPosition(std::int32_t x, std::int32_t y) {
    if (x != m_x || y != m_y) {
        m_x = x;
        m_y = y;
        m_changeFlags |= Changed | Moved;
    }
}

std::int32_t CNxLayer::SetZOrder(std::int32_t z) {
    const std::int32_t previous = m_z;
    if (m_parent != nullptr && z != m_z) {
        m_z = z;
        m_parent->m_needsSort = true;
        m_changeFlags |= Changed;
    }
    return previous;
}

void CNxLayer::SetOffset(std::int32_t x, std::int32_t y) {
    if (x != m_offsetX || y != m_offsetY) {
        m_offsetX = x;
        m_offsetY = y;
        // The offset displaces the children as much as a move does.
        m_changeFlags |= Changed | Moved;
    }
}

void CNxLayer::SetRect(const RECT* rect) {
    if (rect == nullptr || rect->right < rect->left || rect->bottom < rect->top) {
        m_rect = RECT{0, 0, 0, 0};
    } else {
        m_rect = *rect;
    }
    m_invalid = nx::intersect(m_invalid, m_rect);
    m_changeFlags |= Changed;
}

CNxLayer* CNxLayer::SetParent(CNxLayer* parent) {
    CNxLayer* previous = m_parent;
    // A node under itself would make the tree a loop that every walk follows for ever.
    for (const CNxLayer* above = parent; above != nullptr; above = above->m_parent) {
        if (above == this) {
            return previous;
        }
    }
    detachFromParent();
    if (parent != nullptr) {
        parent->m_children.push_back(this);
        parent->m_needsSort = true;
        m_parent = parent;
    }
    m_changeFlags |= Changed;
    return previous;
}

bool CNxLayer::Draw(CNxSurface*, const RECT*) {
    return true;
}

void CNxLayer::SetClipChildren(bool clip) {
    if (clip != m_clipChildren) {
        m_clipChildren = clip;
        m_changeFlags |= Changed;
    }
}

void CNxLayer::Invalidate(const RECT* rect) {
    m_invalid = rect == nullptr ? m_rect : nx::intersect(nx::unite(m_invalid, *rect), m_rect);
    m_invalidFlag = true;
}
