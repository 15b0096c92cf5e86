#pragma once

#include <cstdint>
#include <vector>

#include "gfx/NxTypes.h"

class CNxSurface;

// A node of a window's drawing tree. A node shows the part `rect` of its own content with that
// rectangle's top-left corner at (x, y) + offset inside its parent's content; its children are
// drawn over it in ascending z. Changes are only recorded here; the window collects them at its
// next Update and redraws the tiles they touch.
//
// A parent owns its children: deleting a node deletes the children it still has, and a node
// that is deleted first leaves its parent on its own.
class CNxLayer {
public:
    enum ChangeFlag : std::uint32_t { Changed = 1, Moved = 2, VisibilityChanged = 4 };

    explicit CNxLayer(CNxLayer* parent = nullptr);
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
    // Moves the node under parent (null: none); returns the previous parent.
    virtual CNxLayer* SetParent(CNxLayer* parent);
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
    const std::vector<CNxLayer*>& GetChildren() const { return m_children; }

protected:
    friend class CNxWindow;

    void detachFromParent();
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
    std::vector<CNxLayer*> m_children;  // owned
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
