#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/MessageHandler.h"
#include "platform/NativeWindow.h"
#include "platform/WindowSpec.h"

namespace platform::headless {

class HeadlessHost;

// A native window in memory. It keeps every presented pixel in a buffer of the client size,
// records what the editor asked of it, and lets its caller act as the user or the window system
// (send a message, fire a timer, drag or resize the window). Messages caused by the editor's own
// calls (WM_MOVE after move, WM_SIZE after resizeClient) arrive synchronously. Made by
// HeadlessHost::createWindow, or standing alone (no host) for a screen tried on its own.
class HeadlessWindow : public platform::NativeWindow {
public:
    // The frame around the client area, so that outer and client rectangles differ as on a
    // real screen; scroll bars and a menu bar add to it.
    static constexpr int kFrameLeft = 4;
    static constexpr int kFrameTop = 24;
    static constexpr int kFrameRight = 4;
    static constexpr int kFrameBottom = 4;
    static constexpr int kMenuBarHeight = 20;
    static constexpr int kScrollBarThickness = 16;

    // A window of the host, which lists it while it lives; or one of the client size alone.
    explicit HeadlessWindow(const platform::WindowSpec& spec = {}, HeadlessHost* host = nullptr);
    explicit HeadlessWindow(platform::Size clientSize);
    ~HeadlessWindow() override;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    // --- The window port.
    void setHandler(platform::MessageHandler* handler) override;
    platform::Size clientSize() const override;
    void resizeClient(platform::Size size) override;
    void setTitle(const std::string& title) override;
    std::string title() const override;
    platform::Rect outerRect() const override;
    void move(platform::Point topLeft) override;
    void placeBehind(platform::NativeWindow& other) override;
    void setTopmost(bool topmost) override;
    bool isTopmost() const override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    void showNormal() override;
    bool isMinimised() const override;
    void bringToFront() override;
    void destroy() override;
    void present(const platform::Rect& rect, const std::uint32_t* pixels,
                 std::ptrdiff_t pitch) override;
    void setScrollInfo(platform::ScrollAxis axis, const platform::ScrollInfo& info) override;
    platform::ScrollInfo scrollInfo(platform::ScrollAxis axis) const override;
    void showScrollBar(platform::ScrollAxis axis, bool shown) override;
    bool isScrollBarShown(platform::ScrollAxis axis) const override;
    platform::Point pointerInClient() const override;
    void setPointerShape(platform::PointerShape shape) override;
    platform::PointerShape pointerShape() const override;
    void setTimer(int id, int milliseconds) override;
    void killTimer(int id) override;
    void setMenuItemState(int commandId, bool enabled, bool checked) override;
    void setMenuBarVisible(bool visible) override;
    void setMenuBar(const platform::Menu& menu) override;
    bool setFullScreen(bool fullScreen) override;

    // --- Full screen and the menu bar, as set; refuseFullScreen makes setFullScreen fail.
    bool refuseFullScreen = false;  // the window system says no

    // --- The window system's and the user's side.
    void send(const platform::Message& message);
    // Delivers WM_TIMER when timer id runs; returns whether it did.
    bool fireTimer(int id);
    // Drops files on the window, as a file manager does.
    void drop(const std::vector<std::string>& paths);
    void userMove(platform::Point topLeft);
    void userResize(platform::Size clientSize);
    void userMinimise();
    void setPointer(platform::Point client) { m_pointer = client; }

    // --- What the caller reads.
    const platform::WindowSpec& spec() const { return m_spec; }
    platform::MessageHandler* handler() const { return m_handler; }
    bool isDestroyed() const { return m_destroyed; }
    // The client area's pixels as presented, row by row; 0 where nothing was presented.
    const std::vector<std::uint32_t>& pixels() const { return m_pixels; }
    std::uint32_t pixel(int x, int y) const;
    // Running timers: id → period in milliseconds.
    const std::map<int, int>& timers() const { return m_timers; }
    struct MenuItemState {
        bool enabled;
        bool checked;
    };
    const std::map<int, MenuItemState>& menuItemStates() const { return m_menuStates; }

    std::vector<std::string> titles;       // every title set, in order
    std::vector<platform::Rect> presents;  // every present() rectangle as asked for
    struct ScrollSetting {
        platform::ScrollAxis axis;
        platform::ScrollInfo info;  // as given
    };
    std::vector<ScrollSetting> scrollSettings;
    // Every frame operation in order: "resizeClient 800x600", "move 10,20", "placeBehind
    // kindview", "setTopmost 1", "setVisible 0", "showNormal", "bringToFront", "destroy",
    // "showScrollBar h 1", "setPointerShape SizeAll", "setTimer 0 100", "killTimer 0".
    std::vector<std::string> log;

private:
    friend class HeadlessHost;
    void setClientSize(platform::Size size);
    platform::Point clientOrigin() const;

    platform::WindowSpec m_spec;
    HeadlessHost* m_host;
    platform::MessageHandler* m_handler = nullptr;
    platform::Point m_position;
    platform::Size m_client;
    std::vector<std::uint32_t> m_pixels;
    std::string m_title;
    bool m_visible;
    bool m_minimised = false;
    bool m_topmost = false;
    bool m_destroyed = false;
    platform::ScrollInfo m_scroll[2];
    bool m_scrollShown[2] = {false, false};
    platform::Point m_pointer;
    platform::PointerShape m_pointerShape = platform::PointerShape::Arrow;
    std::map<int, int> m_timers;
    std::map<int, MenuItemState> m_menuStates;
};

}  // namespace platform::headless
