#pragma once

#include <map>
#include <memory>

#include "app/qt/QtWindow.h"
#include "platform/WindowSpec.h"

class QAction;
class QMenuBar;
class QtClientArea;
class QtFrameWidget;

// A top-level window of the editor: a frame widget with an optional menu bar above the client
// area. Made by QtHost::createWindow, which delivers WM_CREATE and shows it.
class QtNativeWindow : public QtWindow {
public:
    QtNativeWindow(QtHost* host, const platform::WindowSpec& spec, QWidget* owner);
    ~QtNativeWindow() override;

    QWidget& frameWidget() const override;
    QWidget& clientWidget() const override;
    QtClientArea& clientArea() const { return *m_client; }

    platform::Size clientSize() const override;
    void resizeClient(platform::Size size) override;
    void present(const platform::Rect& rect, const std::uint32_t* pixels,
                 std::ptrdiff_t pitch) override;
    void setScrollInfo(platform::ScrollAxis axis, const platform::ScrollInfo& info) override;
    platform::ScrollInfo scrollInfo(platform::ScrollAxis axis) const override;
    void showScrollBar(platform::ScrollAxis axis, bool shown) override;
    bool isScrollBarShown(platform::ScrollAxis axis) const override;
    void setMenuItemState(int commandId, bool enabled, bool checked) override;
    void setMenuBarVisible(bool visible) override;
    void setMenuBar(const platform::Menu& menu) override;

    // From the frame widget and the client area.
    void frameClosing();
    void frameMoved();
    void frameActivationChanged(bool active);
    void frameStateChanged(bool wasMinimised, bool minimised);
    void clientHintChanged();

private:
    bool m_resizable;
    std::unique_ptr<QtFrameWidget> m_frame;
    QtClientArea* m_client = nullptr;  // owned by m_frame
    QMenuBar* m_menuBar = nullptr;     // owned by m_frame
    std::multimap<int, QAction*> m_menuActions;
    platform::Point m_lastClientOrigin{-1000000, -1000000};
};
