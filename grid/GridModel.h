#pragma once

#include <functional>

#include "grid/SelectionRect.h"
#include "grid/Zoom.h"
#include "platform/Geometry.h"

// A window onto a grid of equal cells, without the window: the cell and window sizes, the zoom,
// the view and how far it reaches, the cursor, the selection, and the rules by which keys, scroll
// bars, the wheel, clicks, drags, panning and auto-scroll move them. It draws nothing and calls
// nobody; CellGridScreen holds one and shows what it says.
//
// Sizes, the view and the positions it reports are in image pixels; only window pixels scale
// with the zoom. Cell k after the view's first starts at window pixel k × cell × zoom, rounded
// down. The view is always a whole number of cells within [0, maximumView()]; it may stop up to
// one cell short of the grid's far edge, never between two cells.
//
// Every move by keys, scroll bars and the wheel follows the Shift rule: before it, Shift starts
// a selection at the cursor or its absence ends one; after it, the moving corner follows the
// cursor along the axis moved.
class GridModel {
public:
    enum Axis { X = 0, Y = 1 };
    // Anchor (x1, y1) and moving corner (x2, y2), in cells; −1 each while nothing is selected.
    using Selection = SelectionRect;
    // Cells across (X) and down (Y), asked anew on every use.
    using ExtentSource = std::function<int(Axis)>;

    static constexpr int kAutoScrollMargin = 32;  // window pixels from an edge that scroll
    static constexpr int kPanPixelsPerCell = 12;  // pointer pixels a cell while panning, at 1:1

    GridModel() = default;
    // columns × rows cells of cell pixels in a window of window pixels, laid out.
    GridModel(int columns, int rows, platform::Size cell, platform::Size window);

    // --- The grid, the window and the zoom.

    // A fixed extent, or one read from source (a grid that grows and shrinks under the model).
    void setExtent(int columns, int rows);
    void setExtentSource(ExtentSource source);
    int extent(Axis axis) const;
    // Either size only stored: layout() makes the view follow.
    void setCellSize(int width, int height);
    void setWindowSize(int width, int height);
    // Visible cells and the view's reach for the sizes, extent and zoom now; the view clamped.
    void layout();
    // The view brought within the reach found by the last layout.
    void clampView();

    platform::Size cellSize() const { return {m_cell[X], m_cell[Y]}; }
    platform::Size windowSize() const { return {m_window[X], m_window[Y]}; }
    platform::Point viewPosition() const { return {m_view[X], m_view[Y]}; }
    platform::Point maximumView() const { return {m_maxView[X], m_maxView[Y]}; }
    Zoom zoom() const { return m_zoom; }
    // The same along one axis.
    int cell(Axis axis) const { return m_cell[axis]; }
    int window(Axis axis) const { return m_window[axis]; }
    int view(Axis axis) const { return m_view[axis]; }
    int maxView(Axis axis) const { return m_maxView[axis]; }
    int visible(Axis axis) const { return m_visible[axis]; }  // whole cells the window shows
    int firstCell(Axis axis) const { return m_view[axis] / m_cell[axis]; }
    // The scroll bars' range and position: cells beyond the window, and the first cell shown.
    int scrollRange(Axis axis) const { return m_maxView[axis] / m_cell[axis]; }
    int scrollPosition(Axis axis) const { return firstCell(axis); }

    // The cell under window pixel pixel (towards zero: a pixel before the window is in the
    // view's first cell), and the window pixel where cell cells after the view's first begins.
    int cellAt(Axis axis, int pixel) const;
    int screenOf(Axis axis, int cells) const;
    bool containsCell(int column, int row) const;
    // Where the cursor cell begins in the window.
    platform::Point cursorPixel() const;

    // Another zoom (one of Zoom's steps), keeping the cell under window pixel anchor under it as
    // far as the view's reach allows; false when it is the zoom in use or no step.
    bool setZoom(Zoom zoom, platform::Point anchor);
    // Where a zoom without a pointer is anchored: the cursor cell when the window shows it,
    // else the window's middle.
    platform::Point zoomAnchor() const;
    // The zoom after a Ctrl+wheel message: a step a notch, in when turned away from the user.
    Zoom wheelZoom(int delta) const;
    // The largest step at which the whole grid fits the window (1:1 at most, 1/32 at least).
    Zoom fittingZoom() const;

    // --- Cursor and selection.

    int cursor(Axis axis) const { return m_cursor[axis]; }
    int cursorColumn() const { return m_cursor[X]; }
    int cursorRow() const { return m_cursor[Y]; }
    bool isSelectionShown() const { return m_selectionShown; }
    Selection selectionCorners() const { return {m_start[X], m_start[Y], m_end[X], m_end[Y]}; }
    // The cursor and the view when the selection was started.
    platform::Point selectionStartCursor() const { return m_savedCursor; }
    platform::Point selectionStartView() const { return m_savedView; }

    // A one-cell selection at the cursor, remembering the cursor and the view.
    void startSelection();
    void clearSelection();
    void setSelection(const Selection& selection);
    // The view clamped to its reach.
    void setCursorAndView(int column, int row, int viewX, int viewY);
    // No selection; cursor and view at the top-left.
    void reset();

    void selectionRuleBefore(bool shift);
    void selectionFollow(Axis axis, bool shift);

    // --- Keys; each false, with nothing changed, when the cursor is already as far as it goes.

    // A cell on; at the window's edge the view moves under the cursor instead.
    bool stepCursor(Axis axis, int direction, bool shift);
    // A page is the whole cells the window shows: the cursor keeps its place in the window
    // until the view stops at an end, and then goes to the end too.
    bool pageBackward(Axis axis, bool shift);
    bool pageForward(Axis axis, bool shift);
    bool goHome(Axis axis, bool shift);
    bool goEnd(Axis axis, bool shift);

    // --- Scrolling: the cursor keeps its place in the window, the cells under it change.

    // The view cells on (back when negative), within its reach, the moving corner following
    // with Shift; false when the view stays.
    bool scrollBy(Axis axis, int cells, bool shift);
    // A scroll bar asking for cell target first: the Shift rule, then the scroll; nothing at
    // all when the view is there already.
    bool scrollTo(Axis axis, int target, bool shift);
    // A wheel message: the Shift rule, then a cell down (right with the right button held), or
    // up (left) when delta > 0; false when the view stays.
    bool wheel(int delta, bool rightButton, bool shift);

    // --- The pointer, in window pixels.

    // A left click: the cursor on the cell, and a new one-cell selection unless the cell lies in
    // the shown one; a drag starts. False, with nothing changed, outside the cells.
    bool click(int x, int y);
    // The left button held at (x, y), clamped to the window and the grid: the cursor, and the
    // moving corner, follow. Whether the cursor moved.
    bool dragTo(int x, int y);
    bool isLeftDragActive() const { return m_leftDrag; }
    void endLeftDrag() { m_leftDrag = false; }
    // One step of auto-scroll while a left drag rests within kAutoScrollMargin of an edge and
    // the pointer (now at pointer) is in the window: a cell towards that edge, cursor and moving
    // corner along. Whether the view moved.
    bool autoScrollStep(platform::Point pointer);

    // The right button: the pointer drags the grid, so moving it left shows cells further right.
    // A pan drops the selection; the cursor keeps its place in the window. Whether the pointer
    // went a cell's worth from where the last one went (or the pan started).
    void startPan(int x, int y);
    bool panTo(int x, int y);
    void endPan() { m_panning = false; }
    bool isPanning() const { return m_panning; }

private:
    int lastCell(Axis axis) const { return extent(axis) - 1; }
    // Whether cell k after the view's first reaches the window's far edge.
    bool reachesEnd(Axis axis, int k) const;

    ExtentSource m_extentSource;
    int m_cell[2] = {32, 32};
    int m_window[2] = {0, 0};
    Zoom m_zoom;
    int m_view[2] = {0, 0};
    int m_maxView[2] = {0, 0};
    int m_visible[2] = {0, 0};
    int m_cursor[2] = {0, 0};
    int m_start[2] = {-1, -1};  // the selection's anchor
    int m_end[2] = {-1, -1};    // its moving corner
    bool m_selectionShown = false;
    platform::Point m_savedCursor;
    platform::Point m_savedView;

    bool m_leftDrag = false;
    platform::Point m_pointer;  // the last left click or left drag position
    bool m_panning = false;
    platform::Point m_panReference;
};
