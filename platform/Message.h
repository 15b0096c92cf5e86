#pragma once

#include <string>

#include "platform/Geometry.h"
#include "platform/ScrollInfo.h"

namespace platform {

// The messages a native window hands to its handler. Ids and values are those of Win32, so the
// routing tables read the same in code; only what the editor's tables use exists here.
enum MessageId : unsigned {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,    // once, from Host::createWindow, before it returns
    WM_DESTROY = 0x0002,   // once, from NativeWindow::destroy
    WM_MOVE = 0x0003,      // x, y: the client area's top-left on the screen
    WM_SIZE = 0x0005,      // code: SIZE_*; width, height: the client size (0 × 0 when minimised)
    WM_ACTIVATE = 0x0006,  // code: WA_*; minimised
    WM_PAINT = 0x000F,     // rect: client pixels that hold nothing presented (after growing)
    WM_CLOSE = 0x0010,     // the user asked to close; nothing closes unless the handler acts
    WM_ACTIVATEAPP = 0x001C,  // code: 1 when the application became active, 0 when it left
    WM_CONTEXTMENU = 0x007B,  // x, y: client position (-1, -1 from the keyboard)
    WM_KEYDOWN = 0x0100,      // key: VK_* code; repeat: sent again while the key is held
    WM_KEYUP = 0x0101,        // key: VK_* code; not sent for the repeats of a held key
    WM_CHAR = 0x0102,         // key: the Unicode code point typed (after its WM_KEYDOWN)
    WM_COMMAND = 0x0111,      // id: the menu command chosen in the window's menu bar
    WM_TIMER = 0x0113,        // id: the timer's id (NativeWindow::setTimer)
    WM_HSCROLL = 0x0114,      // code: SB_*; position: thumb position (SB_THUMB* only)
    WM_VSCROLL = 0x0115,
    WM_INITMENU = 0x0116,   // the menu bar is about to open; set item states now
    WM_MOUSEMOVE = 0x0200,  // mouse messages: x, y client position; keys: MK_* held
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,  // replaces the second WM_LBUTTONDOWN of a double click
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,  // wheelDelta: multiple of WHEEL_DELTA, > 0 away from the user;
                             // x, y: client position (not screen, unlike Win32); keys
};

// Buttons and modifiers held during a mouse message.
enum MouseKeys : int {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
};

enum ScrollCode : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,  // the thumb was released at position
    SB_THUMBTRACK = 5,     // the thumb is being dragged, now at position
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,  // after SB_THUMBPOSITION
};

enum SizeCode : int { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

enum ActivateCode : int { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

constexpr int WHEEL_DELTA = 120;

// One message with its data in named fields instead of Win32's packed parameters. Fields a
// message does not use stay 0.
struct Message {
    MessageId message = WM_NULL;
    int id = 0;    // WM_TIMER, WM_COMMAND
    int code = 0;  // WM_SIZE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_HSCROLL, WM_VSCROLL
    int key = 0;   // WM_KEYDOWN, WM_KEYUP, WM_CHAR
    bool repeat = false;
    bool minimised = false;
    int x = 0;
    int y = 0;
    int keys = 0;
    int wheelDelta = 0;
    int position = 0;
    int width = 0;
    int height = 0;
    Rect rect;

    static Message plain(MessageId message);  // WM_CREATE, WM_DESTROY, WM_CLOSE, WM_INITMENU
    static Message size(int code, int width, int height);
    static Message move(int screenX, int screenY);
    static Message activate(int code, bool minimised);
    static Message activateApp(bool active);
    static Message paint(const Rect& rect);
    static Message keyDown(int key, bool repeat = false);
    static Message keyUp(int key);
    static Message character(int codePoint);
    static Message mouse(MessageId message, int x, int y, int keys);
    static Message wheel(int delta, int x, int y, int keys);
    static Message contextMenu(int x, int y);
    static Message scroll(MessageId message, int code, int position = 0);
    static Message timer(int id);
    static Message command(int id);

    // Of WM_HSCROLL and WM_VSCROLL: the axis of the bar that sent it.
    ScrollAxis scrollAxis() const {
        return message == WM_HSCROLL ? ScrollAxis::Horizontal : ScrollAxis::Vertical;
    }
};

bool operator==(const Message& a, const Message& b);
inline bool operator!=(const Message& a, const Message& b) {
    return !(a == b);
}

// "WM_KEYDOWN key=0x25" and the like, for logs and test failures.
std::string describe(const Message& message);

}  // namespace platform
