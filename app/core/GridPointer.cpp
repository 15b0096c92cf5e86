#include "app/core/GridPointer.h"

#include "grid/CellGridScreen.h"
#include "platform/NativeWindow.h"

std::optional<platform::Point> GridPointer::route(platform::NativeWindow& window,
                                                  const platform::Message& m, CellGridScreen& grid,
                                                  bool sizeAll) {
    switch (m.message) {
        case platform::WM_MOUSEMOVE:
            grid.onMouseMove(m.x, m.y, m.keys);
            break;
        case platform::WM_LBUTTONDOWN:
            grid.onLeftButtonDown(m.x, m.y);
            break;
        case platform::WM_LBUTTONUP:
            grid.onLeftButtonUp();
            break;
        case platform::WM_RBUTTONDOWN:
            if (sizeAll) {
                window.setPointerShape(platform::PointerShape::SizeAll);
            }
            grid.onRightButtonDown(m.x, m.y);
            m_viewAtRightDown = grid.viewPosition();
            break;
        case platform::WM_RBUTTONUP:
            window.setPointerShape(platform::PointerShape::Arrow);
            grid.onRightButtonUp();
            if (grid.viewPosition() == m_viewAtRightDown) {
                return platform::Point{m.x, m.y};
            }
            break;
        default:
            break;
    }
    return std::nullopt;
}
