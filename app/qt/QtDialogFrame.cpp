#include "app/qt/QtDialogFrame.h"

#include <QKeyEvent>
#include <QPushButton>

QtDialogFrame::QtDialogFrame(QWidget* parent, std::function<void()> onCancel,
                             std::function<void()> onEnter)
    : QDialog(parent), m_onCancel(std::move(onCancel)), m_onEnter(std::move(onEnter)) {}

void QtDialogFrame::finish() {
    QDialog::done(QDialog::Accepted);
}

void QtDialogFrame::reject() {
    m_onCancel();
}

void QtDialogFrame::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == 0) {
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisible()) {
                QDialog::keyPressEvent(event);  // presses it
                return;
            }
        }
        event->accept();
        m_onEnter();
        return;
    }
    QDialog::keyPressEvent(event);
}
