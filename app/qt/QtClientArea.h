#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <cstddef>
#include <cstdint>

#include "platform/Geometry.h"
#include "platform/ScrollInfo.h"

class QScrollBar;
class QtNativeWindow;

// The client area of a native window: its viewport shows the presented pixels, kept in a
// QImage of the client size, and turns input into messages; its scroll bars are the window's
// scroll bars. The image's size is the client size. A resizable window's image follows its
// viewport; a fixed window's changes only when asked, and its size hint (image plus bars) makes
// the frame grow around bars instead of the image shrinking.
class QtClientArea : public QAbstractScrollArea {
public:
    QtClientArea(QtNativeWindow& window, bool resizable, QWidget* parent);

    // The client size: the image's. Changing it delivers WM_SIZE (and WM_PAINT for the part
    // that holds nothing yet) at once; the widgets follow.
    platform::Size clientSize() const;
    void setClientSize(platform::Size size);
    // The pixels as presented (Format_RGB32).
    const QImage& image() const { return m_image; }

    void present(const platform::Rect& rect, const std::uint32_t* pixels, std::ptrdiff_t pitch);

    void setScrollInfo(platform::ScrollAxis axis, const platform::ScrollInfo& info);
    platform::ScrollInfo scrollInfo(platform::ScrollAxis axis) const;
    void showScrollBar(platform::ScrollAxis axis, bool shown);
    bool isScrollBarShown(platform::ScrollAxis axis) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    // action: 0 press, 1 release, 2 double click.
    void deliverButton(QMouseEvent* event, int action);
    QScrollBar& bar(platform::ScrollAxis axis) const;
    void resizeImage(platform::Size size);
    void scrollAction(platform::ScrollAxis axis, int action);
    void scrollReleased(platform::ScrollAxis axis);
    void syncBar(platform::ScrollAxis axis);

    QtNativeWindow& m_window;
    bool m_resizable;
    QImage m_image;
    platform::ScrollInfo m_scroll[2];
    bool m_scrollShown[2] = {false, false};
    int m_wheelRest = 0;  // wheel movement not yet delivered, in 1/8 degrees
};
