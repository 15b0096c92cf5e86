#include "gfx/CNxFrameWindow.h"

#include "platform/Message.h"
#include "platform/NativeWindow.h"

int CNxFrameWindow::SetScreenMode(std::int32_t width, std::int32_t height, bool fullScreen) {
    platform::NativeWindow* window = GetWindow();
    if (window == nullptr || width <= 0 || height <= 0) {
        return 0;
    }
    if (m_screenModeSet && width == m_clientWidth && height == m_clientHeight &&
        fullScreen == m_fullScreen) {
        return 1;
    }
    if (m_fullScreen) {
        LeaveFullScreen();
    }
    m_clientWidth = width;
    m_clientHeight = height;
    m_screenModeSet = true;
    window->resizeClient(platform::Size{width, height});
    if (fullScreen && !EnterFullScreen()) {
        return 0;
    }
    return 1;
}

bool CNxFrameWindow::SetAutoHideMenu(bool on) {
    const bool previous = m_autoHideMenu;
    m_autoHideMenu = on;
    if (m_fullScreen && GetWindow() != nullptr) {
        GetWindow()->setMenuBarVisible(!on);
    }
    return previous;
}

bool CNxFrameWindow::EnterFullScreen() {
    platform::NativeWindow* window = GetWindow();
    if (window == nullptr || !window->setFullScreen(true)) {
        return false;
    }
    m_fullScreen = true;
    if (m_autoHideMenu) {
        window->setMenuBarVisible(false);
    }
    return true;
}

void CNxFrameWindow::LeaveFullScreen() {
    platform::NativeWindow* window = GetWindow();
    if (window != nullptr && m_fullScreen) {
        window->setFullScreen(false);
        window->setMenuBarVisible(true);
    }
    m_fullScreen = false;
}

void CNxFrameWindow::Detach() {
    LeaveFullScreen();
    CNxWindow::Detach();
}

void CNxFrameWindow::OnMessage(const platform::Message& message) {
    if (message.message == platform::WM_ACTIVATEAPP) {
        OnActivateApp(message.code != 0);
    }
    CNxWindow::OnMessage(message);
}

void CNxFrameWindow::OnActivateApp(bool active) {
    if (!active && m_fullScreen) {
        SetScreenMode(m_clientWidth, m_clientHeight, false);
    }
}
