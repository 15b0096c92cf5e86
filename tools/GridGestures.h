#pragma once

#include <functional>

class CellGridScreen;

namespace platform::headless {
class HeadlessHost;
}

// A user's mouse (and Shift key) on the map or the chip window: every cursor move and
// selection the command-line tool makes goes through the screen's own input handling, as the
// window system would deliver it, so the tool edits exactly as the editor does.
//
// The cells named must lie inside the screen's grid; the caller checks. Each gesture returns
// whether the screen ended as asked (it always should; false means the screen disagrees).
class GridGestures {
public:
    // How a left-button press reaches the screen: through its window's router, or straight to
    // the screen's handler.
    using LeftButtonDown = std::function<void(int x, int y)>;

    GridGestures(CellGridScreen& screen, LeftButtonDown leftButtonDown,
                 platform::headless::HeadlessHost& host)
        : m_screen(screen), m_leftButtonDown(std::move(leftButtonDown)), m_host(host) {}

    // A right-button press and release that does not move the view: panning ends any
    // selection. The cursor stays.
    bool dropSelection();
    // The cursor on the cell and nothing selected.
    bool moveCursor(int column, int row);
    // A click on (x1, y1) anchors the selection; Shift with the scroll bars takes its moving
    // corner towards (x2, y2) when that is out of the window, and dragging the corner puts it
    // on (x2, y2), where the cursor ends.
    bool select(int x1, int y1, int x2, int y2);

private:
    // The scroll bars bring the cell into the window where it is not.
    void scrollIntoView(int column, int row);
    // The cell's top-left pixel in the window.
    int pixel(int axis, int cell) const;
    void click(int column, int row);

    CellGridScreen& m_screen;
    LeftButtonDown m_leftButtonDown;
    platform::headless::HeadlessHost& m_host;
};
