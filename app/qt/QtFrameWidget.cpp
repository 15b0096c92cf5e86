#include "app/qt/QtFrameWidget.h"

#include <QCloseEvent>
#include <QWindowStateChangeEvent>

#include "app/qt/QtNativeWindow.h"

QtFrameWidget::QtFrameWidget(QtNativeWindow& window, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), m_window(window) {}

void QtFrameWidget::closeEvent(QCloseEvent* event) {
    // As in Win32, the close box only asks; the handler decides (and may destroy the window).
    event->ignore();
    m_window.frameClosing();
}

void QtFrameWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    m_window.frameMoved();
}

void QtFrameWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        m_window.frameActivationChanged(isActiveWindow());
    } else if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        m_window.frameStateChanged((change->oldState() & Qt::WindowMinimized) != 0, isMinimized());
    }
}
