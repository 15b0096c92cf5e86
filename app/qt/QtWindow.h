#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/NativeWindow.h"

class QTimer;
class QWidget;

class QtHost;

// What the Qt windows of the editor share: one top-level widget (the frame) with a client
// widget inside, and the frame operations of the window port over them. Subclasses provide the
// widgets and the client area's own operations.
class QtWindow : public platform::NativeWindow {
public:
    explicit QtWindow(QtHost* host);
    ~QtWindow() override;
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    // The top-level widget, and the widget whose coordinates are client coordinates.
    virtual QWidget& frameWidget() const = 0;
    virtual QWidget& clientWidget() const = 0;

    void setHandler(platform::MessageHandler* handler) override;
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
    bool setFullScreen(bool fullScreen) override;
    void setMenuBarVisible(bool) override {}
    void setMenuBar(const platform::Menu&) override {}
    platform::Point pointerInClient() const override;
    void setPointerShape(platform::PointerShape shape) override;
    platform::PointerShape pointerShape() const override;
    void setTimer(int id, int milliseconds) override;
    void killTimer(int id) override;

    // Hands message to the handler, then lets the host look for idle work.
    void deliver(const platform::Message& message);
    void deliverDrop(const std::vector<std::string>& paths);
    bool isDestroyed() const { return m_destroyed; }

private:
    QtHost* m_host;
    platform::MessageHandler* m_handler = nullptr;
    std::string m_title;
    bool m_topmost = false;
    bool m_destroyed = false;
    platform::PointerShape m_pointerShape = platform::PointerShape::Arrow;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
};
