#pragma once

#include <cstdint>

#include "gfx/CNxWindow.h"

// A top-level window with a screen mode: windowed with an exact client size, or full screen
// through the window system. The editor's screens use the windowed side only.
class CNxFrameWindow : public CNxWindow {
public:
    CNxFrameWindow() = default;
    ~CNxFrameWindow() override { LeaveFullScreen(); }

    // Makes the client area exactly width × height, windowed or full screen. Nothing to do when
    // the same mode is set already; 0 when the window system refuses the mode (the previous one
    // stays) or the object is not bound.
    int SetScreenMode(std::int32_t width, std::int32_t height, bool fullScreen);
    bool IsFullScreen() const { return m_fullScreen; }
    // Whether full screen hides the menu bar; returns the previous setting.
    bool SetAutoHideMenu(bool on);

    void Detach() override;
    void OnMessage(const platform::Message& message) override;
    // Leaving the application while full screen returns to a window of the same client size.
    virtual void OnActivateApp(bool active);
    virtual bool EnterFullScreen();
    virtual void LeaveFullScreen();

private:
    bool m_screenModeSet = false;
    bool m_fullScreen = false;
    std::int32_t m_clientWidth = 640;
    std::int32_t m_clientHeight = 480;
    bool m_autoHideMenu = true;
};
