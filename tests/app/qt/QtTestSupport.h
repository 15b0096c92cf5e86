#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace qt_testing {

// Processes events until done() holds or ms pass; returns done().
inline bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// Processes events for ms.
inline void settle(int ms = 50) {
    waitUntil([] { return false; }, ms);
}

// Acts on the next modal widget (a popup menu when popup) from inside its event loop, as a user
// would; gives up after a few seconds so that a failing test ends.
inline void whenModal(std::function<void(QWidget&)> act, bool popup = false) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act, popup] {
        QWidget* widget =
            popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (widget == nullptr && clock->elapsed() < 5000) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (widget != nullptr) {
            act(*widget);
            // Should the act not end it, Escape does, so that a failing test still ends.
            QTimer::singleShot(3000, [guard = QPointer<QWidget>(widget)] {
                if (guard != nullptr && guard->isVisible()) {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(guard.data(), &escape);
                }
            });
        }
    });
    timer->start(5);
}

// Every caption shown in w, each followed by "|", each checked to fit the room it has.
inline QString captions(QWidget& w) {
    QString all;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(c);
        const auto* button = qobject_cast<QAbstractButton*>(c);
        const auto* group = qobject_cast<QGroupBox*>(c);
        const QString text = label    ? label->text()
                             : button ? button->text()
                             : group  ? group->title()
                                      : "";
        all += text + "|";
        EXPECT_TRUE(group || text.isEmpty() || c->sizeHint().width() <= c->width())
            << text.toStdString() << " is cut";
    }
    return all;
}

// The shown top-level window whose title starts with start, or null.
inline QWidget* windowTitled(const QString& start) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle().startsWith(start)) {
            return w;
        }
    }
    return nullptr;
}

// A left double-click at (in widget's coordinates), with its presses and releases.
inline void doubleClick(QWidget& widget, QPointF at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
}

}  // namespace qt_testing
