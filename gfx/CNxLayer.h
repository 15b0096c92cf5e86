#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/NxTypes.h"

class CNxSurface;

// A node of a window's drawing tree. A node shows the part `rect` of its own content with that
// rectangle's top-left corner at (x, y) + offset inside its parent's content; its children are
// drawn over it in ascending z. Changes are only recorded here; the window collects them at its
// next Update and redraws the tiles they touch.
//
// A parent owns its children: a node enters the tree through AddChild, leaves it through
// RemoveChild (which destroys it) or TakeChild (which hands it back), and goes with its parent.
// A node without a parent belongs to whoever made it.
class CNxLayer {
public:
    enum ChangeFlag : std::uint32_t { Changed = 1, Moved = 2, VisibilityChanged = 4 };

    CNxLayer() = default;
    virtual ~CNxLayer();
    CNxLayer(const CNxLayer&) = delete;
    CNxLayer& operator=(const CNxLayer&) = delete;

    virtual bool SetVisible(bool visible);  // returns the previous visibility
    virtual void SetPosition(std::int32_t x, std::int32_t y);
    // Only while the node has a parent; returns the previous z.
    virtual std::int32_t SetZOrder(std::int32_t z);
    virtual void SetOffset(std::int32_t x, std::int32_t y);
    // Null or a rectangle with negative width or height gives an empty one.
    virtual void SetRect(const RECT* rect);
    // Moves the node, and its ownership, under parent; returns the previous parent. Nothing
    // changes when parent is null, the node or under it, or when the node has no parent (then
    // its maker owns it, and AddChild hands it over).
    virtual CNxLayer* SetParent(CNxLayer* parent);

    // Makes a T from args as the last child and returns it; the node owns it.
    template <class T, class... Args>
    T& AddChild(Args&&... args) {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T& made = *child;
        adopt(std::move(child));
        return made;
    }
    // Takes child, a node without a parent, as the last child. Null, and child stays with the
    // caller, when child is null, has a parent, or is this node or above it.
    template <class T>
    T* AddChild(std::unique_ptr<T>&& child) {
        T* node = child.get();
        if (!mayAdopt(node)) {
            return nullptr;
        }
        adopt(std::move(child));
        return node;
    }
    // Destroys child with everything under it; false when it is not a child of this node.
    bool RemoveChild(CNxLayer* child);
    // Hands child back without a parent; null when it is not a child of this node.
    std::unique_ptr<CNxLayer> TakeChild(CNxLayer* child);
    // Destroys the children, the last first.
    void ClearChildren();
    // Hooks of the window's Update.
    virtual void OnUpdate() {}
    virtual void OnInvalidated() {}
    // Draws the node's content clipped to rect (content coordinates; the surface's origin and
    // clip are set for it). Returning false skips the children.
    virtual bool Draw(CNxSurface* surface, const RECT* rect);
    virtual void DrawAfterChildren(CNxSurface* surface, const RECT* rect) {}

    // Marks part of the content (null: all of it) for redrawing.
    void Invalidate(const RECT* rect = nullptr);
    // Whether children are clipped to this node's area (the default).
    void SetClipChildren(bool clip);

    CNxLayer* GetParent() const { return m_parent; }
    const RECT& GetRect() const { return m_rect; }
    bool IsVisible() const { return m_visible; }
    bool GetClipChildren() const { return m_clipChildren; }
    // In drawing order once the window has sorted them.
    std::vector<CNxLayer*> GetChildren() const;

protected:
    friend class CNxWindow;

    // Whether this node is top or lies under it.
    bool isAtOrUnder(const CNxLayer* top) const;
    bool mayAdopt(const CNxLayer* child) const;
    void adopt(std::unique_ptr<CNxLayer> child);
    // Adds area (window coordinates) to what must be redrawn at the next update.
    void addUpdateArea(const RECT& area);

    CNxLayer* m_parent = nullptr;
    RECT m_rect = {0, 0, 0, 0};
    std::int32_t m_x = 0;
    std::int32_t m_y = 0;
    bool m_visible = true;
    RECT m_invalid = {0, 0, 0, 0};
    std::int32_t m_offsetX = 0;
    std::int32_t m_offsetY = 0;
    std::int32_t m_z = 0;
    bool m_clipChildren = true;
    bool m_invalidFlag = false;
    RECT m_updateRect = {0, 0, 0, 0};  // window coordinates
    RECT m_lastRect = {0, 0, 0, 0};    // window coordinates, as drawn at the last update
    bool m_needsSort = false;
    std::uint32_t m_changeFlags = 0;
    std::vector<std::unique_ptr<CNxLayer>> m_children;
};

// Rectangle helpers shared by the tree.
namespace nx {
inline bool isEmpty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}
RECT intersect(const RECT& a, const RECT& b);  // empty (all 0) when they do not meet
RECT unite(const RECT& a, const RECT& b);      // an empty side is ignored
RECT offset(const RECT& r, std::int32_t dx, std::int32_t dy);
}  // namespace nx
