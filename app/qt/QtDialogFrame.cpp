#include "app/qt/QtDialogFrame.h"

#include <QKeyEvent>
#include <QPushButton>

QtDialogFrame::QtDialogFrame(QWidget* parent, std::function<void()> onCancel,
                             std::function<void()> onEnter)
    : QDialog(parent), m_onCancel(std::move(onCancel)), m_onEnter(std::move(onEnter)) {
    // As a Win32 dialog box, it holds its owner only: windows without an owner, such as the
    // preview that plays while the player dialog is open, take clicks and keys meanwhile.
    if (parent != nullptr) {
        setWindowModality(Qt::WindowModal);
    }
}

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
