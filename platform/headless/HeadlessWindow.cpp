#include "platform/headless/HeadlessWindow.h"

#include <algorithm>

#include "platform/PixelBlock.h"
#include "platform/headless/HeadlessHost.h"

namespace platform::headless {

namespace {

int axisIndex(ScrollAxis axis) {
    return axis == ScrollAxis::Horizontal ? 0 : 1;
}

const char* shapeName(platform::PointerShape shape) {
    switch (shape) {
        case platform::PointerShape::Arrow:
            return "Arrow";
        case platform::PointerShape::SizeAll:
            return "SizeAll";
        case platform::PointerShape::Hand:
            return "Hand";
    }
    return "?";
}

std::string windowName(platform::NativeWindow& window) {
    if (auto* headless = dynamic_cast<HeadlessWindow*>(&window)) {
        return headless->spec().className;
    }
    return "?";
}

}  // namespace

HeadlessWindow::HeadlessWindow(const platform::WindowSpec& spec, HeadlessHost* host)
    : m_spec(spec), m_host(host), m_title(spec.title), m_visible(spec.visible) {
    m_position = spec.position.value_or(Point{});
    setClientSize(spec.clientSize);
    if (m_host != nullptr) {
        m_host->adopt(this);
    }
}

namespace {

platform::WindowSpec sized(Size clientSize) {
    platform::WindowSpec spec;
    spec.clientSize = clientSize;
    return spec;
}

}  // namespace

HeadlessWindow::HeadlessWindow(Size clientSize) : HeadlessWindow(sized(clientSize), nullptr) {}

HeadlessWindow::~HeadlessWindow() {
    if (m_host != nullptr) {
        m_host->forget(this);
    }
}

void HeadlessWindow::setHandler(platform::MessageHandler* handler) {
    m_handler = handler;
}

Size HeadlessWindow::clientSize() const {
    return m_client;
}

void HeadlessWindow::resizeClient(Size size) {
    log.push_back("resizeClient " + std::to_string(size.width) + "x" + std::to_string(size.height));
    userResize(size);
}

void HeadlessWindow::setTitle(const std::string& title) {
    titles.push_back(title);
    m_title = title;
}

std::string HeadlessWindow::title() const {
    return m_title;
}

Rect HeadlessWindow::outerRect() const {
    const Point client = clientOrigin();
    const int right =
        client.x + m_client.width + (m_scrollShown[1] ? kScrollBarThickness : 0) + kFrameRight;
    const int bottom =
        client.y + m_client.height + (m_scrollShown[0] ? kScrollBarThickness : 0) + kFrameBottom;
    return Rect{m_position.x, m_position.y, right, bottom};
}

void HeadlessWindow::move(Point topLeft) {
    log.push_back("move " + std::to_string(topLeft.x) + "," + std::to_string(topLeft.y));
    userMove(topLeft);
}

void HeadlessWindow::placeBehind(platform::NativeWindow& other) {
    log.push_back("placeBehind " + windowName(other));
}

void HeadlessWindow::setTopmost(bool topmost) {
    log.push_back(std::string("setTopmost ") + (topmost ? "1" : "0"));
    m_topmost = topmost;
}

bool HeadlessWindow::isTopmost() const {
    return m_topmost;
}

void HeadlessWindow::setVisible(bool visible) {
    log.push_back(std::string("setVisible ") + (visible ? "1" : "0"));
    if (!m_destroyed) {
        m_visible = visible;
    }
}

bool HeadlessWindow::isVisible() const {
    return m_visible;
}

void HeadlessWindow::showNormal() {
    log.push_back("showNormal");
    if (m_destroyed) {
        return;
    }
    m_visible = true;
    if (m_minimised) {
        m_minimised = false;
        send(Message::size(platform::SIZE_RESTORED, m_client.width, m_client.height));
    }
}

bool HeadlessWindow::isMinimised() const {
    return m_minimised;
}

void HeadlessWindow::bringToFront() {
    log.push_back("bringToFront");
}

void HeadlessWindow::destroy() {
    if (m_destroyed) {
        return;
    }
    log.push_back("destroy");
    m_destroyed = true;
    m_visible = false;
    m_timers.clear();
    send(Message::plain(platform::WM_DESTROY));
}

void HeadlessWindow::present(const Rect& rect, const std::uint32_t* pixels, std::ptrdiff_t pitch) {
    presents.push_back(rect);
    platform::copyPixelBlock(platform::PixelBlock{rect, pixels, pitch}, m_pixels.data(), m_client,
                             static_cast<std::ptrdiff_t>(m_client.width) * 4);
}

void HeadlessWindow::setScrollInfo(ScrollAxis axis, const platform::ScrollInfo& info) {
    scrollSettings.push_back({axis, info});
    m_scroll[axisIndex(axis)] = info.normalised();
}

platform::ScrollInfo HeadlessWindow::scrollInfo(ScrollAxis axis) const {
    return m_scroll[axisIndex(axis)];
}

void HeadlessWindow::showScrollBar(ScrollAxis axis, bool shown) {
    log.push_back(std::string("showScrollBar ") + (axis == ScrollAxis::Horizontal ? "h " : "v ") +
                  (shown ? "1" : "0"));
    bool& current = m_scrollShown[axisIndex(axis)];
    if (current == shown) {
        return;
    }
    current = shown;
    if (m_spec.resizable) {
        // The frame stays; the client area makes room for the bar.
        const int change = shown ? -kScrollBarThickness : kScrollBarThickness;
        Size client = m_client;
        (axis == ScrollAxis::Horizontal ? client.height : client.width) += change;
        userResize(Size{std::max(client.width, 0), std::max(client.height, 0)});
    }
}

bool HeadlessWindow::isScrollBarShown(ScrollAxis axis) const {
    return m_scrollShown[axisIndex(axis)];
}

Point HeadlessWindow::pointerInClient() const {
    return m_pointer;
}

void HeadlessWindow::setPointerShape(platform::PointerShape shape) {
    log.push_back(std::string("setPointerShape ") + shapeName(shape));
    m_pointerShape = shape;
}

platform::PointerShape HeadlessWindow::pointerShape() const {
    return m_pointerShape;
}

void HeadlessWindow::setTimer(int id, int milliseconds) {
    log.push_back("setTimer " + std::to_string(id) + " " + std::to_string(milliseconds));
    if (!m_destroyed) {
        m_timers[id] = milliseconds;
    }
}

void HeadlessWindow::killTimer(int id) {
    log.push_back("killTimer " + std::to_string(id));
    m_timers.erase(id);
}

void HeadlessWindow::setMenuBarVisible(bool visible) {
    log.push_back(std::string("setMenuBarVisible ") + (visible ? "1" : "0"));
}

void HeadlessWindow::setMenuBar(const platform::Menu& menu) {
    if (!m_spec.menuBar.empty()) {
        m_spec.menuBar = menu;
        log.push_back("setMenuBar");
    }
}

void HeadlessWindow::drop(const std::vector<std::string>& paths) {
    if (m_handler != nullptr) {
        m_handler->handleDrop(*this, paths);
    }
}

bool HeadlessWindow::setFullScreen(bool fullScreen) {
    if (refuseFullScreen) {
        return false;
    }
    log.push_back(std::string("setFullScreen ") + (fullScreen ? "1" : "0"));
    return true;
}

void HeadlessWindow::setMenuItemState(int commandId, bool enabled, bool checked) {
    m_menuStates[commandId] = MenuItemState{enabled, checked};
}

void HeadlessWindow::send(const Message& message) {
    if (m_handler != nullptr) {
        m_handler->handleMessage(*this, message);
    }
}

bool HeadlessWindow::fireTimer(int id) {
    if (m_timers.count(id) == 0) {
        return false;
    }
    send(Message::timer(id));
    return true;
}

void HeadlessWindow::userMove(Point topLeft) {
    if (topLeft == m_position) {
        return;
    }
    m_position = topLeft;
    const Point client = clientOrigin();
    send(Message::move(client.x, client.y));
}

void HeadlessWindow::userResize(Size size) {
    const Size old = m_client;
    if (size == old) {
        return;
    }
    setClientSize(size);
    send(Message::size(platform::SIZE_RESTORED, size.width, size.height));
    if (size.width > old.width || size.height > old.height) {
        // The bounding box of what was never presented: the strips right of and below the old
        // area, or all of it when both grew.
        const Rect fresh{size.height > old.height ? 0 : std::min(old.width, size.width),
                         size.width > old.width ? 0 : std::min(old.height, size.height), size.width,
                         size.height};
        send(Message::paint(fresh));
    }
}

void HeadlessWindow::userMinimise() {
    if (m_minimised) {
        return;
    }
    m_minimised = true;
    send(Message::size(platform::SIZE_MINIMIZED, 0, 0));
}

std::uint32_t HeadlessWindow::pixel(int x, int y) const {
    return m_pixels.at(static_cast<std::size_t>(y) * m_client.width + x);
}

void HeadlessWindow::setClientSize(Size size) {
    size.width = std::max(size.width, 0);
    size.height = std::max(size.height, 0);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.width) * size.height, 0);
    for (int y = 0; y < std::min(size.height, m_client.height); ++y) {
        std::copy_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_client.width,
                    std::min(size.width, m_client.width),
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * size.width);
    }
    m_pixels.swap(pixels);
    m_client = size;
}

Point HeadlessWindow::clientOrigin() const {
    return Point{m_position.x + kFrameLeft,
                 m_position.y + kFrameTop + (m_spec.menuBar.empty() ? 0 : kMenuBarHeight)};
}

}  // namespace platform::headless
