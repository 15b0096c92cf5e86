#pragma once

#include <optional>
#include <string>

#include "platform/Geometry.h"
#include "platform/Menu.h"

namespace platform {

class NativeWindow;

// What Host::createWindow makes: the window class, text, style and menu of a top-level window.
struct WindowSpec {
    std::string className;  // names the kind of window ("mapeditor", "chipview", ...)
    std::string title;
    Size clientSize;
    std::optional<Point> position;  // outer top-left; none: where the window system puts it
    NativeWindow* owner = nullptr;  // stays above its owner; not destroyed with it
    bool visible = true;
    bool caption = true;    // title bar
    bool closeBox = false;  // the system menu's close box (WS_SYSMENU)
    bool minimiseBox = false;
    bool resizable = false;   // sizing border (WS_THICKFRAME); otherwise the size is fixed
    bool toolWindow = false;  // small title, no task bar entry (WS_EX_TOOLWINDOW)
    Menu menuBar;             // empty: no menu bar; commands arrive as WM_COMMAND
};

}  // namespace platform
