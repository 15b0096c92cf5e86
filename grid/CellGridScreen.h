#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/CNxFrameWindow.h"
#include "grid/GridModel.h"
#include "grid/SelectionRect.h"
#include "grid/Zoom.h"
#include "platform/Geometry.h"
#include "platform/ScrollInfo.h"

class CNxLayer;
class CNxSprite;
class CNxSurface;

namespace platform {
class Host;
class MessageHandler;
class NativeWindow;
}  // namespace platform

// What the chip window and the map window have in common: a window onto a grid of equal cells
// whose view scrolls cell by cell, with grid lines, a cursor frame on one cell, a rectangle of
// selected cells drawn as a frame over a translucent fill, the window's own scroll bars, and the
// input that moves all of these (cursor keys, pages, Home and End, clicks and drags, panning with
// the right button, the wheel, scroll-bar requests, auto-scroll near the edges).
//
// The rules by which these move are GridModel's, which the screen holds and shows: the drawing,
// the window, its scroll bars and title are CellGridScreen.cpp; handing the keyboard and pointer
// input to the model and showing the result is CellGridInput.cpp.
//
// What the cells show, the title, and which key does what are the derived screen's. The cursor
// sprite always sits at the cursor cell's place in the window, and the view is always a whole
// number of cells, so that no move can leave the two apart.
//
// The view may be zoomed (see Zoom and GridModel). Grid lines are drawn only while a cell is at
// least 4 window pixels; the cursor and the selection frame are 3 pixels thick while a cell is at
// least 16 pixels, else 1, at any zoom.
class CellGridScreen : public CNxFrameWindow {
public:
    using Axis = GridModel::Axis;
    static constexpr Axis X = GridModel::X;
    static constexpr Axis Y = GridModel::Y;

    struct Colours {
        std::uint32_t grid;
        std::uint32_t cursor;
        std::uint32_t selectionFrame;
        std::uint32_t selectionFill;
    };
    // Anchor (x1, y1) and moving corner (x2, y2), in cells; −1 each while nothing is selected.
    using Selection = SelectionRect;

    // Binds to the window (its messages then pass on to next) with a black background, makes
    // its client area width × height and lays the cells out for it.
    bool attach(platform::NativeWindow* window, int width, int height,
                platform::MessageHandler* next = nullptr);

    static constexpr int kMinWindowWidth = 320;
    static constexpr int kMaxWindowWidth = 1280;
    static constexpr int kMinWindowHeight = 200;
    static constexpr int kMaxWindowHeight = 1024;
    static constexpr int kFrameThickness = 3;
    static constexpr int kAutoScrollMargin = GridModel::kAutoScrollMargin;
    static constexpr int kPanPixelsPerCell = GridModel::kPanPixelsPerCell;

    static constexpr std::uint32_t kDefaultGridColour = 0xFF000000;
    static constexpr std::uint32_t kDefaultCursorColour = 0xFFFF0000;
    static constexpr std::uint32_t kDefaultSelectionFrameColour = 0xFF0000FF;
    static constexpr std::uint32_t kDefaultSelectionFillColour = 0x80FFFFFF;

    ~CellGridScreen() override;

    // Each setter does nothing when the colour is the one in use.
    void setGridColour(std::uint32_t colour);
    // Rebuilds the cursor frame, its right and bottom sides then 4 pixels wide.
    void setCursorColour(std::uint32_t colour);
    void setSelectionFrameColour(std::uint32_t colour);
    void setSelectionFillColour(std::uint32_t colour);
    void setColours(const Colours& colours);
    Colours colours() const;

    void toggleGrid();
    bool isGridShown() const { return m_gridShown; }
    bool areScrollBarsShown() const { return m_scrollBarsShown; }
    bool isLeftDragActive() const { return m_model.isLeftDragActive(); }
    // Another window took the focus: the drag (and its auto-scroll) stops, the selection stays.
    void endLeftDrag() { m_model.endLeftDrag(); }
    bool isPanning() const { return m_model.isPanning(); }

    // The cursor, the selection, the view and the rules that move them.
    const GridModel& model() const { return m_model; }
    platform::Size cellSize() const { return m_model.cellSize(); }
    platform::Size windowSize() const { return m_model.windowSize(); }
    platform::Point viewPosition() const { return m_model.viewPosition(); }
    platform::Point maximumView() const { return m_model.maximumView(); }
    Zoom zoom() const { return m_model.zoom(); }
    // Another zoom, keeping the cell under window pixel anchor under it (as far as the view's
    // reach allows); false when it is the zoom in use.
    bool setZoom(Zoom zoom, platform::Point anchor);
    // The same, anchored at the cursor cell when the window shows it, else the window's middle.
    bool setZoom(Zoom zoom);
    // The largest step at which the whole grid fits the window (1:1 at most, 1/32 at least).
    Zoom fittingZoom() const { return m_model.fittingZoom(); }
    // The client area made smaller (or back) because the screen has no room for the size chosen:
    // the view stays where it can, nothing else changes.
    void fitWindowSize(int width, int height);

    // Ctrl with = or + (zoom in), - (out) or 0 (1:1), on the main keys or the keypad: acts and
    // returns true; any other key, false.
    bool zoomByKey(int key, bool ctrl);
    int visibleColumns() const { return m_model.visible(X); }
    int visibleRows() const { return m_model.visible(Y); }
    int cursorColumn() const { return m_model.cursorColumn(); }
    int cursorRow() const { return m_model.cursorRow(); }
    bool isSelectionShown() const { return m_model.isSelectionShown(); }
    Selection selectionCorners() const { return m_model.selectionCorners(); }

    // Navigation by keys, with Shift as held at the key's press; false when the cursor was
    // already as far as it goes.
    bool stepCursor(Axis axis, int direction, bool shift);
    // The arrow keys' step; false for any other key.
    bool stepByArrowKey(int key, bool shift);
    bool pageBackward(Axis axis, bool shift);
    bool pageForward(Axis axis, bool shift);
    bool goHome(Axis axis, bool shift);
    bool goEnd(Axis axis, bool shift);

    // Input shared by both windows, as their window procedures hand it on.
    void onScroll(platform::ScrollAxis axis, int code, int position);
    // With the right button held the view pans; with the left one held after a click in the
    // cells the cursor and the selection's moving corner follow the pointer.
    // A left click puts the cursor (and starts a selection) when something is loaded.
    void onLeftButtonDown(int x, int y);
    void onMouseMove(int x, int y, int keys);
    void onLeftButtonUp();
    void onRightButtonDown(int x, int y);
    void onRightButtonUp();
    // One cell per message, towards the user down (right with the right button held); with
    // Ctrl, a zoom step per notch (in when turned away from the user), anchored at (x, y) in the
    // window.
    void onMouseWheel(int delta, int keys, int x = 0, int y = 0);

protected:
    // Which of the window's layers (drawn in ascending order) holds what.
    struct LayerPlan {
        int count;
        int content;
        int selectionFill;
        int selectionFrame;
        int grid;
        int cursor;
    };

    CellGridScreen(platform::Host& host, const LayerPlan& plan, int windowWidth, int windowHeight);

    // The derived screen's part.
    virtual int extent(Axis axis) const = 0;  // cells across and down
    virtual bool acceptsInput() const = 0;    // something is loaded to move over
    virtual void drawCells() = 0;             // the cells seen from the (clamped) view
    virtual void updateTitle() = 0;

    platform::Host& host() const { return m_host; }
    // Whether the window may be width × height; if not, tells the user the ranges in a box
    // owned by owner.
    bool checkWindowSize(int width, int height, platform::NativeWindow* owner) const;
    // Sets the window's title when bound.
    void setTitle(const std::string& title);
    CNxLayer* layer(int index) const { return m_layers[index]; }
    // Stores the size and makes the client area that size.
    void applyWindowSize(int width, int height);
    // A new cell size: cursor frame and grid rebuilt for it.
    void setCellSize(int width, int height);
    // Visible cells, the view's reach, and the scroll bars when shown.
    void layout();
    // No selection; cursor and view at the top-left; scroll bars and title follow.
    void resetView();
    // Draws the cells for the view (clamped first) and puts the cursor and the selection on it.
    void refreshView();
    // Sets the bars up for the view (none where it cannot scroll, and then the switch goes off)
    // or removes them.
    void setScrollBarsShown(bool shown);
    // Only the switch, for a screen with nothing to scroll yet.
    void setScrollBarsSwitch(bool shown) { m_scrollBarsShown = shown; }
    void updateScrollPositions();

    void startSelection();
    void clearSelection();
    // Shows the model's selection, or hides the frame and fill while none is shown.
    void drawSelection();
    void setSelection(const Selection& selection);
    // The selection as it was started: the cursor and the view of that moment.
    platform::Point selectionStartCursor() const { return m_model.selectionStartCursor(); }
    platform::Point selectionStartView() const { return m_model.selectionStartView(); }
    void setCursorAndView(int column, int row, int viewX, int viewY);

    // The Shift rule around every move by keys, scroll bars and wheel: before it, Shift starts a
    // selection at the cursor or its absence ends one; after it, the moving corner follows.
    void selectionRuleBefore(bool shift);
    void selectionFollow(Axis axis, bool shift);
    // A click at window pixel (x, y): false, with nothing changed, outside the cells.
    bool leftButtonDown(int x, int y);
    // The cell under window pixel (x, y).
    int cellAt(Axis axis, int pixel) const { return m_model.cellAt(axis, pixel); }
    // The window pixel where the cell cells after the view's first one begins.
    int screenOf(Axis axis, int cells) const { return m_model.screenOf(axis, cells); }
    bool containsCell(int column, int row) const { return m_model.containsCell(column, row); }
    // One step of auto-scroll while a left drag rests near an edge; whether the view moved.
    bool autoScrollStep();

private:
    void placeCursorSprite();
    void buildCursor();
    void buildGrid();
    void fillEdges();
    void hideSelection();
    // After the model's view moved: the cells drawn anew, cursor, selection and bars following.
    void showScrolledView();
    // After a move by the model: when it moved, the view shown anew and the title; returns moved.
    bool showMove(bool moved);
    // After the model's zoom changed: cursor frame, grid, layout and view.
    void showZoom();

    platform::Host& m_host;
    std::vector<CNxLayer*> m_layers;  // owned by the drawing tree, like every sprite below

    std::unique_ptr<CNxSurface> m_cursorSurface;
    std::unique_ptr<CNxSurface> m_gridSurface;
    std::unique_ptr<CNxSurface> m_edgeSurfaces[4];  // left, right, top, bottom
    std::unique_ptr<CNxSurface> m_fillSurface;
    CNxSprite* m_cursorSprite = nullptr;
    CNxSprite* m_gridSprite = nullptr;
    CNxSprite* m_edgeSprites[4] = {};
    CNxSprite* m_fillSprite = nullptr;

    std::uint32_t m_gridColour = kDefaultGridColour;
    std::uint32_t m_cursorColour = kDefaultCursorColour;
    std::uint32_t m_selectionFrameColour = kDefaultSelectionFrameColour;
    std::uint32_t m_selectionFillColour = kDefaultSelectionFillColour;

    GridModel m_model;
    int m_frame = kFrameThickness;   // the cursor's and the selection frame's thickness now
    bool m_cursorWideEdges = false;  // right and bottom sides one wider, after a colour change

    bool m_gridShown = true;
    bool m_gridDrawn = true;  // cells are large enough for lines
    bool m_scrollBarsShown = false;
};
