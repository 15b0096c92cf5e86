#include "app/qt/QtClientArea.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>

#include "app/qt/QtConvert.h"
#include "app/qt/QtKeyMap.h"
#include "app/qt/QtNativeWindow.h"
#include "platform/Message.h"
#include "platform/PixelBlock.h"

using platform::Message;
using platform::ScrollAxis;

namespace {

int axisIndex(ScrollAxis axis) {
    return axis == ScrollAxis::Horizontal ? 0 : 1;
}

platform::MessageId scrollMessage(ScrollAxis axis) {
    return axis == ScrollAxis::Horizontal ? platform::WM_HSCROLL : platform::WM_VSCROLL;
}

}  // namespace

QtClientArea::QtClientArea(QtNativeWindow& window, bool resizable, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_window(window),
      m_resizable(resizable),
      m_image(0, 0, QImage::Format_RGB32) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    // The image covers the viewport; nothing else needs drawing under it.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setAcceptDrops(true);
    for (ScrollAxis axis : {ScrollAxis::Horizontal, ScrollAxis::Vertical}) {
        QScrollBar& b = bar(axis);
        b.setFocusPolicy(Qt::NoFocus);
        b.setSingleStep(1);
        connect(&b, &QAbstractSlider::actionTriggered, this,
                [this, axis](int action) { scrollAction(axis, action); });
        connect(&b, &QAbstractSlider::sliderReleased, this, [this, axis] { scrollReleased(axis); });
        syncBar(axis);
    }
}

platform::Size QtClientArea::clientSize() const {
    return platform::Size{m_image.width(), m_image.height()};
}

void QtClientArea::setClientSize(platform::Size size) {
    resizeImage(size);
    updateGeometry();
}

void QtClientArea::present(const platform::Rect& rect, const std::uint32_t* pixels,
                           std::ptrdiff_t pitch) {
    // RGB32 wants its unused byte at 0xFF; presented pixels are opaque anyway.
    const platform::Rect written = platform::copyPixelBlock(
        platform::PixelBlock{rect, pixels, pitch}, reinterpret_cast<std::uint32_t*>(m_image.bits()),
        clientSize(), m_image.bytesPerLine(), 0xFF000000u);
    if (!written.isEmpty()) {
        viewport()->update(qtconvert::toQt(written));
    }
}

void QtClientArea::setScrollInfo(ScrollAxis axis, const platform::ScrollInfo& info) {
    m_scroll[axisIndex(axis)] = info.normalised();
    syncBar(axis);
}

platform::ScrollInfo QtClientArea::scrollInfo(ScrollAxis axis) const {
    return m_scroll[axisIndex(axis)];
}

void QtClientArea::showScrollBar(ScrollAxis axis, bool shown) {
    if (m_scrollShown[axisIndex(axis)] == shown) {
        return;
    }
    m_scrollShown[axisIndex(axis)] = shown;
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (axis == ScrollAxis::Horizontal) {
        setHorizontalScrollBarPolicy(policy);
    } else {
        setVerticalScrollBarPolicy(policy);
    }
    if (!m_resizable) {
        updateGeometry();
        m_window.clientHintChanged();
    }
}

bool QtClientArea::isScrollBarShown(ScrollAxis axis) const {
    return m_scrollShown[axisIndex(axis)];
}

QSize QtClientArea::sizeHint() const {
    QSize size(m_image.width(), m_image.height());
    if (m_scrollShown[0]) {
        size.rheight() += horizontalScrollBar()->sizeHint().height();
    }
    if (m_scrollShown[1]) {
        size.rwidth() += verticalScrollBar()->sizeHint().width();
    }
    return size;
}

QSize QtClientArea::minimumSizeHint() const {
    return QSize(0, 0);
}

bool QtClientArea::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize && m_resizable) {
        // The user resized the window, or a scroll bar took its room.
        resizeImage(qtconvert::fromQt(viewport()->size()));
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void QtClientArea::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), m_image, area);
    // A viewport larger than the image (while a resize is on its way, or where the window
    // system overruled a fixed size) shows black.
    if (!m_image.rect().contains(area)) {
        painter.fillRect(QRect(m_image.width(), 0, viewport()->width(), viewport()->height()),
                         Qt::black);
        painter.fillRect(QRect(0, m_image.height(), viewport()->width(), viewport()->height()),
                         Qt::black);
    }
}

void QtClientArea::deliverButton(QMouseEvent* event, int action) {
    // Rows: left, right, middle; columns: press, release, double click (which Qt sends instead
    // of the second press, as Win32 sends WM_*BUTTONDBLCLK).
    static const platform::MessageId kIds[3][3] = {
        {platform::WM_LBUTTONDOWN, platform::WM_LBUTTONUP, platform::WM_LBUTTONDBLCLK},
        {platform::WM_RBUTTONDOWN, platform::WM_RBUTTONUP, platform::WM_RBUTTONDBLCLK},
        {platform::WM_MBUTTONDOWN, platform::WM_MBUTTONUP, platform::WM_MBUTTONDBLCLK},
    };
    int button;
    switch (event->button()) {
        case Qt::LeftButton:
            button = 0;
            break;
        case Qt::RightButton:
            button = 1;
            break;
        case Qt::MiddleButton:
            button = 2;
            break;
        default:
            return;
    }
    const QPoint p = event->position().toPoint();
    m_window.deliver(Message::mouse(kIds[button][action], p.x(), p.y(),
                                    qtkeymap::mouseKeys(event->buttons(), event->modifiers())));
}

void QtClientArea::mousePressEvent(QMouseEvent* event) {
    deliverButton(event, 0);
}

void QtClientArea::mouseReleaseEvent(QMouseEvent* event) {
    deliverButton(event, 1);
}

void QtClientArea::mouseDoubleClickEvent(QMouseEvent* event) {
    deliverButton(event, 2);
}

void QtClientArea::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    m_window.deliver(Message::mouse(platform::WM_MOUSEMOVE, p.x(), p.y(),
                                    qtkeymap::mouseKeys(event->buttons(), event->modifiers())));
}

void QtClientArea::wheelEvent(QWheelEvent* event) {
    event->accept();
    // Fine-grained wheels and touchpads report fractions of a notch: collect them into whole
    // notches, which is what the editor counts.
    m_wheelRest += event->angleDelta().y();
    const int notches = m_wheelRest / platform::WHEEL_DELTA;
    if (notches == 0) {
        return;
    }
    m_wheelRest -= notches * platform::WHEEL_DELTA;
    const QPoint p = event->position().toPoint();
    m_window.deliver(Message::wheel(notches * platform::WHEEL_DELTA, p.x(), p.y(),
                                    qtkeymap::mouseKeys(event->buttons(), event->modifiers())));
}

void QtClientArea::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const int vk = qtkeymap::virtualKey(event->key(), event->modifiers());
    if (vk != 0) {
        m_window.deliver(Message::keyDown(vk, event->isAutoRepeat()));
    }
    for (const char32_t codePoint : event->text().toUcs4()) {
        m_window.deliver(Message::character(static_cast<int>(codePoint)));
    }
}

void QtClientArea::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    // Qt releases a held key before each repeat; Win32 only repeats WM_KEYDOWN.
    if (event->isAutoRepeat()) {
        return;
    }
    const int vk = qtkeymap::virtualKey(event->key(), event->modifiers());
    if (vk != 0) {
        m_window.deliver(Message::keyUp(vk));
    }
}

void QtClientArea::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        m_window.deliver(Message::contextMenu(-1, -1));
    } else {
        m_window.deliver(Message::contextMenu(event->pos().x(), event->pos().y()));
    }
}

void QtClientArea::scrollContentsBy(int, int) {
    // The bars only report; the handler scrolls and presents.
}

bool QtClientArea::focusNextPrevChild(bool) {
    return false;  // Tab is a key like the others
}

QScrollBar& QtClientArea::bar(ScrollAxis axis) const {
    return axis == ScrollAxis::Horizontal ? *horizontalScrollBar() : *verticalScrollBar();
}

void QtClientArea::resizeImage(platform::Size size) {
    size.width = std::max(size.width, 0);
    size.height = std::max(size.height, 0);
    const platform::Size old = clientSize();
    if (size == old) {
        return;
    }
    QImage image(size.width, size.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.drawImage(0, 0, m_image);
    }
    m_image = image;
    viewport()->update();
    m_window.deliver(Message::size(platform::SIZE_RESTORED, size.width, size.height));
    if (size.width > old.width || size.height > old.height) {
        const platform::Rect fresh{size.height > old.height ? 0 : std::min(old.width, size.width),
                                   size.width > old.width ? 0 : std::min(old.height, size.height),
                                   size.width, size.height};
        m_window.deliver(Message::paint(fresh));
    }
}

void QtClientArea::scrollAction(ScrollAxis axis, int action) {
    QScrollBar& b = bar(axis);
    int code;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            code = platform::SB_LINEUP;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            code = platform::SB_LINEDOWN;
            break;
        case QAbstractSlider::SliderPageStepSub:
            code = platform::SB_PAGEUP;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            code = platform::SB_PAGEDOWN;
            break;
        case QAbstractSlider::SliderToMinimum:
            code = platform::SB_TOP;
            break;
        case QAbstractSlider::SliderToMaximum:
            code = platform::SB_BOTTOM;
            break;
        case QAbstractSlider::SliderMove:
            // The thumb follows the pointer while dragged, as in Win32.
            m_window.deliver(
                Message::scroll(scrollMessage(axis), platform::SB_THUMBTRACK, b.sliderPosition()));
            return;
        default:
            return;
    }
    m_window.deliver(Message::scroll(scrollMessage(axis), code));
    // The bar moves only where the handler put it.
    b.setSliderPosition(m_scroll[axisIndex(axis)].position);
}

void QtClientArea::scrollReleased(ScrollAxis axis) {
    const int position = bar(axis).sliderPosition();
    m_window.deliver(Message::scroll(scrollMessage(axis), platform::SB_THUMBPOSITION, position));
    m_window.deliver(Message::scroll(scrollMessage(axis), platform::SB_ENDSCROLL));
    syncBar(axis);
}

void QtClientArea::syncBar(ScrollAxis axis) {
    const platform::ScrollInfo& info = m_scroll[axisIndex(axis)];
    QScrollBar& b = bar(axis);
    const QSignalBlocker block(b);
    // Qt's maximum is the last thumb position; Win32's is the last position of the range.
    b.setRange(info.minimum, info.lastPosition());
    b.setPageStep(std::max(info.page, 1));
    b.setValue(info.position);
    b.setSliderPosition(info.position);
}

namespace {

// The local files a drag carries, as absolute paths; none for anything else.
std::vector<std::string> droppedFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data != nullptr && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                paths.push_back(qtconvert::fromQt(url.toLocalFile()));
            }
        }
    }
    return paths;
}

}  // namespace

void QtClientArea::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void QtClientArea::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void QtClientArea::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = droppedFiles(event->mimeData());
    if (!paths.empty()) {
        event->acceptProposedAction();
        m_window.deliverDrop(paths);
    }
}
