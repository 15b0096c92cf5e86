#include "platform/Message.h"

#include <cstdio>

namespace platform {

Message Message::plain(MessageId message) {
    Message m;
    m.message = message;
    return m;
}

Message Message::size(int code, int width, int height) {
    Message m = plain(WM_SIZE);
    m.code = code;
    m.width = width;
    m.height = height;
    return m;
}

Message Message::move(int screenX, int screenY) {
    Message m = plain(WM_MOVE);
    m.x = screenX;
    m.y = screenY;
    return m;
}

Message Message::activate(int code, bool minimised) {
    Message m = plain(WM_ACTIVATE);
    m.code = code;
    m.minimised = minimised;
    return m;
}

Message Message::activateApp(bool active) {
    Message m = plain(WM_ACTIVATEAPP);
    m.code = active ? 1 : 0;
    return m;
}

Message Message::paint(const Rect& rect) {
    Message m = plain(WM_PAINT);
    m.rect = rect;
    return m;
}

Message Message::keyDown(int key, bool repeat) {
    Message m = plain(WM_KEYDOWN);
    m.key = key;
    m.repeat = repeat;
    return m;
}

Message Message::keyUp(int key) {
    Message m = plain(WM_KEYUP);
    m.key = key;
    return m;
}

Message Message::character(int codePoint) {
    Message m = plain(WM_CHAR);
    m.key = codePoint;
    return m;
}

Message Message::mouse(MessageId message, int x, int y, int keys) {
    Message m = plain(message);
    m.x = x;
    m.y = y;
    m.keys = keys;
    return m;
}

Message Message::wheel(int delta, int x, int y, int keys) {
    Message m = mouse(WM_MOUSEWHEEL, x, y, keys);
    m.wheelDelta = delta;
    return m;
}

Message Message::contextMenu(int x, int y) {
    Message m = plain(WM_CONTEXTMENU);
    m.x = x;
    m.y = y;
    return m;
}

Message Message::scroll(MessageId message, int code, int position) {
    Message m = plain(message);
    m.code = code;
    m.position = position;
    return m;
}

Message Message::timer(int id) {
    Message m = plain(WM_TIMER);
    m.id = id;
    return m;
}

Message Message::command(int id) {
    Message m = plain(WM_COMMAND);
    m.id = id;
    return m;
}

bool operator==(const Message& a, const Message& b) {
    return a.message == b.message && a.id == b.id && a.code == b.code && a.key == b.key &&
           a.repeat == b.repeat && a.minimised == b.minimised && a.x == b.x && a.y == b.y &&
           a.keys == b.keys && a.wheelDelta == b.wheelDelta && a.position == b.position &&
           a.width == b.width && a.height == b.height && a.rect == b.rect;
}

namespace {

const char* nameOf(MessageId id) {
    switch (id) {
        case WM_NULL:
            return "WM_NULL";
        case WM_CREATE:
            return "WM_CREATE";
        case WM_DESTROY:
            return "WM_DESTROY";
        case WM_MOVE:
            return "WM_MOVE";
        case WM_SIZE:
            return "WM_SIZE";
        case WM_ACTIVATE:
            return "WM_ACTIVATE";
        case WM_PAINT:
            return "WM_PAINT";
        case WM_CLOSE:
            return "WM_CLOSE";
        case WM_ACTIVATEAPP:
            return "WM_ACTIVATEAPP";
        case WM_CONTEXTMENU:
            return "WM_CONTEXTMENU";
        case WM_KEYDOWN:
            return "WM_KEYDOWN";
        case WM_KEYUP:
            return "WM_KEYUP";
        case WM_CHAR:
            return "WM_CHAR";
        case WM_COMMAND:
            return "WM_COMMAND";
        case WM_TIMER:
            return "WM_TIMER";
        case WM_HSCROLL:
            return "WM_HSCROLL";
        case WM_VSCROLL:
            return "WM_VSCROLL";
        case WM_INITMENU:
            return "WM_INITMENU";
        case WM_MOUSEMOVE:
            return "WM_MOUSEMOVE";
        case WM_LBUTTONDOWN:
            return "WM_LBUTTONDOWN";
        case WM_LBUTTONUP:
            return "WM_LBUTTONUP";
        case WM_LBUTTONDBLCLK:
            return "WM_LBUTTONDBLCLK";
        case WM_RBUTTONDOWN:
            return "WM_RBUTTONDOWN";
        case WM_RBUTTONUP:
            return "WM_RBUTTONUP";
        case WM_RBUTTONDBLCLK:
            return "WM_RBUTTONDBLCLK";
        case WM_MBUTTONDOWN:
            return "WM_MBUTTONDOWN";
        case WM_MBUTTONUP:
            return "WM_MBUTTONUP";
        case WM_MBUTTONDBLCLK:
            return "WM_MBUTTONDBLCLK";
        case WM_MOUSEWHEEL:
            return "WM_MOUSEWHEEL";
    }
    return "WM_?";
}

}  // namespace

std::string describe(const Message& m) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s id=%d code=%d key=0x%X%s x=%d y=%d keys=0x%X wheel=%d pos=%d size=%dx%d "
                  "rect=(%d,%d,%d,%d)%s",
                  nameOf(m.message), m.id, m.code, static_cast<unsigned>(m.key),
                  m.repeat ? " repeat" : "", m.x, m.y, static_cast<unsigned>(m.keys), m.wheelDelta,
                  m.position, m.width, m.height, m.rect.left, m.rect.top, m.rect.right,
                  m.rect.bottom, m.minimised ? " minimised" : "");
    return text;
}

}  // namespace platform
