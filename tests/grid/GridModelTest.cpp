// The grid's rules, without a window: random operations on grids of many shapes, cell and window
// sizes and zooms, each checked against what it promises and against what must hold after
// anything; then exact walks for what those leave open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "grid/GridModel.h"
#include "platform/Message.h"

namespace {

using Axis = GridModel::Axis;
using platform::Point;
constexpr Axis X = GridModel::X, Y = GridModel::Y;
constexpr Axis kAxes[] = {X, Y};

// Everything an operation may change.
std::vector<int> state(const GridModel& m) {
    const GridModel::Selection s = m.selectionCorners();
    const Point view = m.viewPosition();
    const Zoom zoom = m.zoom();
    return {m.cursor(X), m.cursor(Y), view.x,   view.y,  m.isSelectionShown(), s.x1, s.y1,
            s.x2,        s.y2,        zoom.num, zoom.den};
}
enum { kShown = 4, kAnchor = 5 };

// Whether the cursor cell starts inside the window.
bool cursorInView(const GridModel& m, Axis a) {
    const int k = m.cursor(a) - m.firstCell(a);
    return k >= 0 && m.screenOf(a, k) < m.window(a);
}

// What holds after anything: the first rule broken, or nothing.
std::string broken(const GridModel& m) {
    for (Axis a : kAxes) {
        const int cell = m.cell(a), window = m.window(a), view = m.view(a);
        const int reach = m.maxView(a) / cell;
        const std::int64_t units = std::int64_t(cell) * m.zoom().num;
        if (view < 0 || view > reach * cell || view % cell != 0) {
            return "the view is off its reach or between cells";
        }
        // From the furthest view the last cell starts in the window, and a view a cell short of
        // it would leave the window's far edge without cells.
        if (m.screenOf(a, m.extent(a) - 1 - reach) >= window ||
            (reach > 0 && m.screenOf(a, m.extent(a) - reach) < window)) {
            return "the view reaches too far or not far enough";
        }
        if (m.visible(a) * units > std::int64_t(window) * m.zoom().den ||
            (m.visible(a) + 1) * units <= std::int64_t(window) * m.zoom().den) {
            return "the window's whole cells miscounted";
        }
        if (m.cursor(a) < 0 || m.cursor(a) >= m.extent(a)) {
            return "the cursor is off the grid";
        }
    }
    const GridModel::Selection s = m.selectionCorners();
    if (m.isSelectionShown() ? !m.containsCell(s.x1, s.y1) || !m.containsCell(s.x2, s.y2)
                             : s != GridModel::Selection{-1, -1, -1, -1}) {
        return "the selection's corners";
    }
    return "";
}

// The Shift rule after a move along a: with Shift the anchor stays (or is the cursor the move
// started from) and the moving corner is on the cursor; without, no selection.
bool followsShift(const GridModel& m, const std::vector<int>& before, Axis a, bool shift) {
    const GridModel::Selection s = m.selectionCorners();
    const int anchor = before[kShown] ? kAnchor : 0;
    return shift ? m.isSelectionShown() && s.x1 == before[anchor] && s.y1 == before[anchor + 1] &&
                       (a == X ? s.x2 : s.y2) == m.cursor(a)
                 : !m.isSelectionShown();
}

// The cursor kept its place in the window, but for the grid's ends.
bool keptPlace(const GridModel& m, const std::vector<int>& before) {
    for (Axis a : kAxes) {
        const int place = before[a] - before[2 + a] / m.cell(a);
        if (m.cursor(a) - m.firstCell(a) != place && m.cursor(a) != 0 &&
            m.cursor(a) != m.extent(a) - 1) {
            return false;
        }
    }
    return true;
}

TEST(GridModel, RandomOperationsKeepTheirRules) {
    const int cells[] = {7, 16, 24, 32, 48, 64, 100};
    for (unsigned seed = 1; seed <= 400; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        // Windows of whole cells, and of none.
        const platform::Size cell{cells[pick(0, 6)], cells[pick(0, 6)]};
        const platform::Size window{pick(0, 1) ? cell.width * pick(5, 20) : pick(1, 1280),
                                    pick(0, 1) ? cell.height * pick(5, 20) : pick(1, 1024)};
        GridModel m(pick(1, 90), pick(1, 90), cell, window);
        m.setZoom(Zoom::step(pick(0, Zoom::kSteps - 1)), {0, 0});
        // The fitting zoom is the largest step up to 1:1 at which the whole grid fits.
        const auto fits = [&](Zoom z) {
            return z.toScreen(std::int64_t(m.extent(X)) * cell.width) <= window.width &&
                   z.toScreen(std::int64_t(m.extent(Y)) * cell.height) <= window.height;
        };
        const Zoom fit = m.fittingZoom();
        EXPECT_TRUE((fits(fit) || fit == Zoom::step(0)) && (fit == Zoom{} || !fits(fit.in())))
            << "seed " << seed;
        for (int step = 0; step < 120; ++step) {
            const std::vector<int> before = state(m);
            const Axis a = kAxes[pick(0, 1)];
            const bool wasInView = cursorInView(m, a);
            const bool shift = pick(0, 1) == 1, forward = pick(0, 1) == 1;
            const int x = pick(-30, window.width + 30), y = pick(-30, window.height + 30);
            const int x2 = pick(-30, window.width + 30), y2 = pick(-30, window.height + 30);
            std::string fault;
            const int what = pick(0, 8);
            if (what <= 2) {  // a key: a step, a page, Home or End
                const bool moved =
                    what == 0   ? m.stepCursor(a, forward ? 1 : -1, shift)
                    : what == 1 ? (forward ? m.pageForward(a, shift) : m.pageBackward(a, shift))
                                : (forward ? m.goEnd(a, shift) : m.goHome(a, shift));
                if (!moved ? state(m) != before : !followsShift(m, before, a, shift)) {
                    fault = "a key broke the Shift rule or moved nothing without saying so";
                } else if (moved && (what == 2 || wasInView) && !cursorInView(m, a)) {
                    fault = "a key took the cursor out of the window";
                }
            } else if (what <= 4) {  // a scroll bar or the wheel
                const bool moved = what == 3 ? m.scrollTo(a, pick(-2, m.scrollRange(a) + 2), shift)
                                             : m.wheel(forward ? -120 : 120, a == X, shift);
                if (moved ? !followsShift(m, before, a, shift) || !keptPlace(m, before)
                          : what == 3 && state(m) != before) {
                    fault = "a scroll lost the cursor's place or the Shift rule";
                }
            } else if (what == 5) {  // a click and a drag
                const int column = m.cellAt(X, x), row = m.cellAt(Y, y);
                if (m.click(x, y) != m.containsCell(column, row)) {
                    fault = "a click missed its cell";
                } else if (m.isLeftDragActive()) {
                    // The anchor stays; the moving corner follows the cursor along each axis
                    // it moves.
                    const GridModel::Selection s = m.selectionCorners();
                    const Point cursor{m.cursor(X), m.cursor(Y)};
                    m.dragTo(x2, y2);
                    const bool follows =
                        m.selectionCorners() ==
                        GridModel::Selection{s.x1, s.y1,
                                             m.cursor(X) != cursor.x ? m.cursor(X) : s.x2,
                                             m.cursor(Y) != cursor.y ? m.cursor(Y) : s.y2};
                    if (!follows || !cursorInView(m, X) || !cursorInView(m, Y)) {
                        fault = "a drag left the window or moved the anchor";
                    } else if (pick(0, 1) == 1 && x2 >= 0 && y2 >= 0 && x2 < window.width &&
                               y2 < window.height) {
                        const std::vector<int> resting = state(m);
                        const bool moved = m.autoScrollStep({x2, y2});
                        const bool nearEdge =
                            x2 < 32 || y2 < 32 || x2 > window.width - 32 || y2 > window.height - 32;
                        if (moved ? !nearEdge || !keptPlace(m, resting) : state(m) != resting) {
                            fault = "auto-scroll away from the edges or losing the cursor's place";
                        }
                    }
                    m.endLeftDrag();
                }
            } else if (what == 6) {  // a pan with the right button
                m.startPan(x, y);
                m.panTo(x2, y2);
                m.endPan();
                const int dx = m.viewPosition().x - before[2], dy = m.viewPosition().y - before[3];
                if (m.isSelectionShown() || !keptPlace(m, before) || dx * (x2 - x) > 0 ||
                    dy * (y2 - y) > 0) {
                    fault = "a pan kept the selection, lost the cursor's place or went astray";
                }
            } else {  // a zoom anchored at a pixel of the window
                const Point anchor{std::clamp(x, 0, window.width - 1),
                                   std::clamp(y, 0, window.height - 1)};
                const int under[2] = {std::clamp(m.cellAt(X, anchor.x), 0, m.extent(X) - 1),
                                      std::clamp(m.cellAt(Y, anchor.y), 0, m.extent(Y) - 1)};
                if (m.setZoom(Zoom::step(pick(0, Zoom::kSteps - 1)), anchor)) {
                    for (Axis b : kAxes) {
                        if (m.view(b) > 0 && m.view(b) < m.maxView(b) &&
                            m.cellAt(b, b == X ? anchor.x : anchor.y) != under[b]) {
                            fault = "the zoom moved the cell under the pointer";
                        }
                    }
                }
            }
            if (fault.empty()) {
                fault = broken(m);
            }
            ASSERT_EQ(fault, "") << "seed " << seed << ", step " << step;
        }
    }
}

// A 40 × 40 grid of 32-pixel cells in an 800 × 600 window: 25 columns and 18¾ rows shown, and
// the view reaching 15 columns and 21 rows on.
TEST(GridModel, PagesHomeEndAndZoomByWheel) {
    GridModel m(40, 40, {32, 32}, {800, 600});
    const GridModel::Selection none{-1, -1, -1, -1};
    const struct {
        bool (GridModel::*move)(Axis, bool);
        Axis axis;
        bool shift;
        Point view, cursor;
        GridModel::Selection selection;
    } steps[] = {
        {&GridModel::pageForward, X, false, {480, 0}, {39, 0}, none},  // stops at the end
        {&GridModel::pageBackward, X, false, {0, 0}, {0, 0}, none},
        {&GridModel::pageForward, Y, false, {0, 576}, {0, 18}, none},  // 18 whole rows
        {&GridModel::pageForward, Y, false, {0, 672}, {0, 39}, none},
        {&GridModel::pageBackward, Y, false, {0, 96}, {0, 21}, none},
        {&GridModel::goEnd, X, true, {480, 96}, {39, 21}, {0, 21, 39, 21}},
        {&GridModel::goHome, Y, true, {480, 0}, {39, 0}, {0, 21, 39, 0}},
        {&GridModel::pageBackward, X, false, {0, 0}, {0, 0}, none},
    };
    for (const auto& s : steps) {
        EXPECT_TRUE((m.*s.move)(s.axis, s.shift));
        EXPECT_EQ(m.viewPosition(), s.view);
        EXPECT_EQ((Point{m.cursorColumn(), m.cursorRow()}), s.cursor);
        EXPECT_EQ(m.selectionCorners(), s.selection);
    }
    EXPECT_FALSE(m.goHome(X, true) || m.isSelectionShown()) << "Home with Shift at home";
    // Ctrl+wheel: a step a notch, a turn of less than a notch one step, no further than the ends.
    const std::pair<int, Zoom> turns[] = {
        {-2 * platform::WHEEL_DELTA, {1, 4}}, {30, {2, 1}},   {-1, {1, 2}},
        {3 * platform::WHEEL_DELTA, {4, 1}},  {2400, {8, 1}}, {-2400, {1, 32}}};
    for (const auto& [delta, zoom] : turns) {
        EXPECT_EQ(m.wheelZoom(delta), zoom) << delta;
    }
}

}  // namespace
