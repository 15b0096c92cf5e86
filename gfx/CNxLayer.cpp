#include "gfx/CNxLayer.h"

#include <algorithm>
#include <iterator>

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

CNxLayer::~CNxLayer() {
    // Whoever destroys a node has taken it from its parent first. Its children need not leave it
    // one by one, as there is nothing left to redraw here: they forget it and go with the list.
    for (const auto& child : m_children) {
        child->m_parent = nullptr;
    }
}

void CNxLayer::addUpdateArea(const RECT& area) {
    m_updateRect = nx::unite(m_updateRect, area);
}

bool CNxLayer::isAtOrUnder(const CNxLayer* top) const {
    for (const CNxLayer* above = this; above != nullptr; above = above->m_parent) {
        if (above == top) {
            return true;
        }
    }
    return false;
}

bool CNxLayer::mayAdopt(const CNxLayer* child) const {
    // A node under itself would make the tree a loop that every walk follows for ever.
    return child != nullptr && child->m_parent == nullptr && !isAtOrUnder(child);
}

void CNxLayer::adopt(std::unique_ptr<CNxLayer> child) {
    child->m_parent = this;
    child->m_changeFlags |= Changed;
    m_children.push_back(std::move(child));
    m_needsSort = true;
}

std::unique_ptr<CNxLayer> CNxLayer::TakeChild(CNxLayer* child) {
    // Looked for from the end, where ClearChildren and the newest children are.
    const auto found =
        std::find_if(m_children.rbegin(), m_children.rend(),
                     [child](const std::unique_ptr<CNxLayer>& c) { return c.get() == child; });
    if (found == m_children.rend()) {
        return nullptr;
    }
    // What the child's subtree showed must be redrawn without it.
    struct Collect {
        static void areas(const CNxLayer& node, CNxLayer& into) {
            into.addUpdateArea(node.m_lastRect);
            for (const auto& grandchild : node.m_children) {
                areas(*grandchild, into);
            }
        }
    };
    Collect::areas(*child, *this);
    std::unique_ptr<CNxLayer> taken = std::move(*found);
    m_children.erase(std::next(found).base());
    taken->m_parent = nullptr;
    return taken;
}

bool CNxLayer::RemoveChild(CNxLayer* child) {
    return TakeChild(child) != nullptr;
}

void CNxLayer::ClearChildren() {
    while (!m_children.empty()) {
        RemoveChild(m_children.back().get());
    }
}

std::vector<CNxLayer*> CNxLayer::GetChildren() const {
    std::vector<CNxLayer*> children;
    children.reserve(m_children.size());
    for (const auto& child : m_children) {
        children.push_back(child.get());
    }
    return children;
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
    if (previous == nullptr || parent == nullptr || parent->isAtOrUnder(this)) {
        return previous;
    }
    parent->adopt(previous->TakeChild(this));
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
