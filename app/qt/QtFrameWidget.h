#pragma once

#include <QWidget>

class QtNativeWindow;

// The top-level widget of a native window: the title bar's events (close box, moves, state
// and activation changes) go to the window, which turns them into messages.
class QtFrameWidget : public QWidget {
public:
    QtFrameWidget(QtNativeWindow& window, Qt::WindowFlags flags);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QtNativeWindow& m_window;
};
