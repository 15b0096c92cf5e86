#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Geometry.h"
#include "platform/Menu.h"
#include "platform/ScrollInfo.h"

namespace platform {

class MessageHandler;

enum class PointerShape { Arrow, SizeAll, Hand };

// One top-level window of the editor (map, chip, attribute, preview, the invisible owner) or a
// running dialog, as the window system shows it. Screens draw into their own memory and hand
// finished pixels to present(); input and window events come back as messages to the handler.
// Made by Host::createWindow; deleting the object takes the window off the screen without
// sending WM_DESTROY.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;

    // Where this window's messages go from now on (null: nowhere).
    virtual void setHandler(MessageHandler* handler) = 0;

    // The client area: the part that shows presented pixels, without frame, menu bar or
    // scroll bars.
    virtual Size clientSize() const = 0;
    // Makes the client area exactly size, the frame following; WM_SIZE follows when it changed.
    virtual void resizeClient(Size size) = 0;

    // Title bar text, UTF-8, returned exactly as set.
    virtual void setTitle(const std::string& title) = 0;
    virtual std::string title() const = 0;

    // The whole window with its frame, in screen coordinates.
    virtual Rect outerRect() const = 0;
    // Moves the window's outer top-left to topLeft without resizing it; WM_MOVE follows when
    // the position changed.
    virtual void move(Point topLeft) = 0;
    // Puts this window directly behind other in the stacking order.
    virtual void placeBehind(NativeWindow& other) = 0;
    // Keeps the window above all windows that are not topmost.
    virtual void setTopmost(bool topmost) = 0;
    virtual bool isTopmost() const = 0;

    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // Shows the window in its normal state, restoring it when minimised.
    virtual void showNormal() = 0;
    virtual bool isMinimised() const = 0;
    // Raises the window above the others and gives it the keyboard.
    virtual void bringToFront() = 0;
    // Sends WM_DESTROY and hides the window for good; later calls do nothing.
    virtual void destroy() = 0;

    // Copies a finished block of pixels to the client area at rect (client coordinates) and
    // schedules the repaint of that rectangle only; what falls outside the client area is
    // dropped. pixels points to the word shown at (rect.left, rect.top), 0xAARRGGBB; row r
    // starts pitch × r bytes further on, pitch being negative for bottom-up memory (see
    // PixelBlock). The window is opaque: the alpha byte is not shown. The window keeps the
    // pixels until they are presented again, so nothing is ever asked to repaint.
    virtual void present(const Rect& rect, const std::uint32_t* pixels, std::ptrdiff_t pitch) = 0;

    // The window's own scroll bars, one per axis, as SetScrollInfo and GetScrollInfo see them.
    // A bar moves only when told: user actions arrive as WM_HSCROLL or WM_VSCROLL and the
    // handler sets the new position. The stored state is info.normalised().
    virtual void setScrollInfo(ScrollAxis axis, const ScrollInfo& info) = 0;
    virtual ScrollInfo scrollInfo(ScrollAxis axis) const = 0;
    // A window of fixed size keeps its client size when a bar is shown or hidden: the frame
    // grows or shrinks around the bar. A resizable window keeps its frame, and its client area
    // gives the bar room (WM_SIZE follows).
    virtual void showScrollBar(ScrollAxis axis, bool shown) = 0;
    virtual bool isScrollBarShown(ScrollAxis axis) const = 0;

    // The pointer's position in client coordinates, wherever it is.
    virtual Point pointerInClient() const = 0;
    virtual void setPointerShape(PointerShape shape) = 0;
    virtual PointerShape pointerShape() const = 0;

    // Delivers WM_TIMER with id every milliseconds until killed; setting an id that runs
    // restarts it with the new period.
    virtual void setTimer(int id, int milliseconds) = 0;
    virtual void killTimer(int id) = 0;

    // Enables and checks the item with commandId in the window's menu bar, if it has one.
    virtual void setMenuItemState(int commandId, bool enabled, bool checked) = 0;
    // Shows or hides the menu bar, if the window has one.
    virtual void setMenuBarVisible(bool visible) = 0;
    // Replaces the items of the menu bar, if the window has one (a list that changes: recent
    // files). The states of items come back as the menu's own.
    virtual void setMenuBar(const Menu& menu) = 0;

    // Covers the whole screen without a frame (true) or returns to the normal frame (false).
    // False when the window system refuses. The editor's own windows never ask for it.
    virtual bool setFullScreen(bool fullScreen) = 0;
};

}  // namespace platform
