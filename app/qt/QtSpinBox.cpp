#include "app/qt/QtSpinBox.h"

#include <QLineEdit>
#include <algorithm>
#include <climits>

#include "app/qt/QtConvert.h"
#include "platform/DialogControls.h"

QtSpinBox::QtSpinBox(QWidget* parent) : QSpinBox(parent) {
    // The widget's own range is every int, so that nothing typed is corrected away.
    setRange(INT_MIN, INT_MAX);
    setValue(0);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

void QtSpinBox::setLogicalRange(int minimum, int maximum) {
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
    update();
}

QValidator::State QtSpinBox::validate(QString& text, int&) const {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String("-") || trimmed == QLatin1String("+")) {
        return QValidator::Intermediate;
    }
    bool ok = false;
    trimmed.toInt(&ok);
    return ok ? QValidator::Acceptable : QValidator::Invalid;
}

void QtSpinBox::fixup(QString&) const {
    // Leave the text as typed.
}

void QtSpinBox::stepBy(int steps) {
    const platform::SpinPosition current = platform::DialogControls::spinPosition(
        qtconvert::fromQt(editor().text()), m_minimum, m_maximum);
    const long long from = std::clamp<long long>(current.value, m_minimum, m_maximum);
    setValue(static_cast<int>(std::clamp<long long>(from + steps, m_minimum, m_maximum)));
}

QAbstractSpinBox::StepEnabled QtSpinBox::stepEnabled() const {
    const platform::SpinPosition current = platform::DialogControls::spinPosition(
        qtconvert::fromQt(editor().text()), m_minimum, m_maximum);
    StepEnabled enabled = StepNone;
    if (current.value > m_minimum) {
        enabled |= StepDownEnabled;
    }
    if (current.value < m_maximum) {
        enabled |= StepUpEnabled;
    }
    return enabled;
}
