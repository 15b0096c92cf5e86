#include "app/qt/QtWindow.h"

#include <QCursor>
#include <QTimer>
#include <QWidget>

#include "app/qt/QtConvert.h"
#include "app/qt/QtHost.h"
#include "platform/MessageHandler.h"

QtWindow::QtWindow(QtHost* host) : m_host(host) {
    if (m_host != nullptr) {
        m_host->adopt(this);
    }
}

QtWindow::~QtWindow() {
    if (m_host != nullptr) {
        m_host->forget(this);
    }
}

void QtWindow::setHandler(platform::MessageHandler* handler) {
    m_handler = handler;
}

void QtWindow::setTitle(const std::string& title) {
    m_title = title;
    frameWidget().setWindowTitle(qtconvert::toQt(title));
}

std::string QtWindow::title() const {
    return m_title;
}

platform::Rect QtWindow::outerRect() const {
    return qtconvert::fromQt(frameWidget().frameGeometry());
}

void QtWindow::move(platform::Point topLeft) {
    // A top-level widget's position is that of its frame.
    frameWidget().move(qtconvert::toQt(topLeft));
}

void QtWindow::placeBehind(platform::NativeWindow& other) {
    // Qt stacks top-level windows only by raising or lowering; raising this one and then the
    // other leaves this one directly behind the other, both above the rest.
    auto* otherWindow = dynamic_cast<QtWindow*>(&other);
    if (otherWindow == nullptr || otherWindow == this) {
        return;
    }
    frameWidget().raise();
    otherWindow->frameWidget().raise();
}

void QtWindow::setTopmost(bool topmost) {
    if (topmost == m_topmost) {
        return;
    }
    m_topmost = topmost;
    QWidget& frame = frameWidget();
    const bool visible = frame.isVisible();
    // Changing the flags re-creates the platform window, which hides it.
    frame.setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (visible && !m_destroyed) {
        frame.show();
    }
}

bool QtWindow::isTopmost() const {
    return m_topmost;
}

void QtWindow::setVisible(bool visible) {
    if (!m_destroyed || !visible) {
        frameWidget().setVisible(visible);
    }
}

bool QtWindow::isVisible() const {
    return frameWidget().isVisible();
}

void QtWindow::showNormal() {
    if (!m_destroyed) {
        frameWidget().showNormal();
    }
}

bool QtWindow::isMinimised() const {
    return frameWidget().isMinimized();
}

void QtWindow::bringToFront() {
    if (m_destroyed) {
        return;
    }
    QWidget& frame = frameWidget();
    frame.raise();
    frame.activateWindow();
}

bool QtWindow::setFullScreen(bool fullScreen) {
    if (fullScreen) {
        frameWidget().showFullScreen();
    } else {
        frameWidget().showNormal();
    }
    return true;
}

void QtWindow::destroy() {
    if (m_destroyed) {
        return;
    }
    m_destroyed = true;
    for (auto& timer : m_timers) {
        timer.second->stop();
        timer.second.release()->deleteLater();
    }
    m_timers.clear();
    deliver(platform::Message::plain(platform::WM_DESTROY));
    frameWidget().hide();
}

platform::Point QtWindow::pointerInClient() const {
    return qtconvert::fromQt(clientWidget().mapFromGlobal(QCursor::pos()));
}

void QtWindow::setPointerShape(platform::PointerShape shape) {
    m_pointerShape = shape;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    switch (shape) {
        case platform::PointerShape::Arrow:
            cursor = Qt::ArrowCursor;
            break;
        case platform::PointerShape::SizeAll:
            cursor = Qt::SizeAllCursor;
            break;
        case platform::PointerShape::Hand:
            cursor = Qt::PointingHandCursor;
            break;
    }
    clientWidget().setCursor(cursor);
}

platform::PointerShape QtWindow::pointerShape() const {
    return m_pointerShape;
}

void QtWindow::setTimer(int id, int milliseconds) {
    if (m_destroyed) {
        return;
    }
    std::unique_ptr<QTimer>& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.get(), &QTimer::timeout,
                         [this, id] { deliver(platform::Message::timer(id)); });
    }
    timer->start(milliseconds < 0 ? 0 : milliseconds);
}

void QtWindow::killTimer(int id) {
    auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        // The timer may be the one whose message is being handled: stop it now, free it later.
        it->second->stop();
        it->second.release()->deleteLater();
        m_timers.erase(it);
    }
}

void QtWindow::deliverDrop(const std::vector<std::string>& paths) {
    QtHost* host = m_host;
    if (m_handler != nullptr) {
        m_handler->handleDrop(*this, paths);
    }
    if (host != nullptr) {
        host->wakeIdle();
    }
}

void QtWindow::deliver(const platform::Message& message) {
    QtHost* host = m_host;  // the handler may delete this window
    if (m_handler != nullptr) {
        m_handler->handleMessage(*this, message);
    }
    if (host != nullptr) {
        host->wakeIdle();
    }
}
