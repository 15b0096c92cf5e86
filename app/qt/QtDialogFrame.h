#pragma once

#include <QDialog>
#include <functional>

// The Qt dialog under a running dialog or sheet. It never closes by itself: Escape and the
// close box call onCancel, Enter without a default button calls onEnter (Win32 turns both into
// commands), and only finish() ends it.
class QtDialogFrame : public QDialog {
public:
    QtDialogFrame(QWidget* parent, std::function<void()> onCancel, std::function<void()> onEnter);

    void finish();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_onCancel;
    std::function<void()> m_onEnter;
};
