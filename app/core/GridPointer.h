#pragma once

#include <optional>

#include "platform/Geometry.h"
#include "platform/Message.h"

class CellGridScreen;
namespace platform {
class NativeWindow;
}

// The pointer as the map and chip windows both take it: drags with a button held, the left
// button's press and release, and the right button that pans the view under the size-all
// pointer. A right click that did not move the view asks for the window's popup.
class GridPointer {
public:
    // Hands message to grid if it is one of the pointer's. Returns where the window's popup is to
    // open when a right click ended without panning. sizeAll: whether the right button shows
    // the size-all pointer while held.
    std::optional<platform::Point> route(platform::NativeWindow& window,
                                         const platform::Message& message, CellGridScreen& grid,
                                         bool sizeAll);

private:
    platform::Point m_viewAtRightDown;
};
