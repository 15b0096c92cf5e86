#pragma once

#include <cstdint>
#include <memory>

#include "gfx/CNxLayer.h"
#include "gfx/CNxTileMap.h"
#include "platform/MessageHandler.h"

class CNxSurface;

namespace platform {
class NativeWindow;
struct Message;
}  // namespace platform

// The root of a window's drawing tree, bound to a native window. The tree is rendered tile by
// tile into a small back buffer and each tile is handed to the window; with dirty tracking on
// (the default) only the tiles that changed since the last Update are rendered.
//
// Binding puts the object in front of the window's message handler: each message goes to
// OnMessage first and then on to the handler that was given with the window.
class CNxWindow : public CNxLayer, public platform::MessageHandler {
public:
    CNxWindow();
    ~CNxWindow() override;

    // A window is always a root.
    CNxLayer* SetParent(CNxLayer* parent) override;
    // The root rect is the client area; changing it starts the tile map afresh.
    void SetRect(const RECT* rect) override;
    // Background and fade.
    bool Draw(CNxSurface* surface, const RECT* rect) override;
    void DrawAfterChildren(CNxSurface* surface, const RECT* rect) override;

    // Tiles of the smallest powers of two at least width × height.
    virtual void SetTileSize(std::uint32_t width, std::uint32_t height);
    // Renders the tree for rect (window pixels) into the back buffer and presents it.
    virtual void PresentTile(const RECT& rect);
    virtual bool BeginPresent();
    virtual void EndPresent();
    // Binds to window; its messages then pass through OnMessage on their way to next.
    // 0 when already bound or window is null.
    virtual int Attach(platform::NativeWindow* window, platform::MessageHandler* next = nullptr);
    virtual void Detach();
    virtual void OnMessage(const platform::Message& message);

    // The pointer in client coordinates; false when not bound.
    bool GetCursorPos(std::int32_t& x, std::int32_t& y) const;
    std::uint32_t SetBackgroundColour(std::uint32_t colour);
    // 255: none; below, towards black (0 is black); above, towards white (up to 511).
    std::uint32_t SetFadeLevel(std::uint32_t level);
    void SetDirtyTracking(bool on);
    // Presents what changed (everything with force). 0 when not bound or without a back buffer.
    int Update(bool force = false);
    platform::NativeWindow* GetWindow() const { return m_window; }

    std::uint32_t GetTileWidth() const { return m_tileWidth; }
    std::uint32_t GetTileHeight() const { return m_tileHeight; }
    const CNxSurface* GetBackBuffer() const { return m_backBuffer.get(); }
    // Frames per 1000 seconds over the last measured second; 0xFFFFFFFF until measured.

    void handleMessage(platform::NativeWindow& window, const platform::Message& message) override;
    // Drops are the handler's behind: the drawing tree has no use for them.
    void handleDrop(platform::NativeWindow& window,
                    const std::vector<std::string>& paths) override {
        if (m_next != nullptr) {
            m_next->handleDrop(window, paths);
        }
    }

private:
    bool collect(CNxLayer& node, const RECT& clip, std::int32_t x, std::int32_t y, bool hooks,
                 bool isRoot);
    void foldChanges(CNxLayer& node);
    void render(CNxLayer& node, const RECT& clip, std::int32_t x, std::int32_t y, bool isRoot,
                const RECT& tile);
    void sortChildren(CNxLayer& node);
    void rebuildTileMap();
    bool createBackBuffer();

    bool m_dirtyTracking = false;
    std::uint32_t m_tileWidth = 32;
    std::uint32_t m_tileHeight = 8;
    std::unique_ptr<CNxTileMap> m_tileMap;
    std::uint32_t m_backgroundColour = 0xFFFFFFFF;
    std::uint32_t m_fadeWhite = 0xFFFFFFFF;
    std::uint32_t m_fadeBlack = 0xFF000000;
    std::uint32_t m_fadeLevel = 255;
    platform::MessageHandler* m_next = nullptr;
    std::unique_ptr<CNxSurface> m_backBuffer;
    platform::NativeWindow* m_window = nullptr;
};
