#pragma once

#include <QSpinBox>

class QLineEdit;

// The edit field with an up-down of a dialog. Like the Win32 pair it takes any integer typed
// into the field, even one outside its range (the dialog reads it with its validity), while the
// arrows step only within the range.
class QtSpinBox : public QSpinBox {
public:
    explicit QtSpinBox(QWidget* parent);

    void setLogicalRange(int minimum, int maximum);
    int logicalMinimum() const { return m_minimum; }
    int logicalMaximum() const { return m_maximum; }
    QLineEdit& editor() const { return *lineEdit(); }

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
};
