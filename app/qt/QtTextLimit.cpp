#include "app/qt/QtTextLimit.h"

#include "app/qt/QtConvert.h"
#include "platform/DialogControls.h"

QtTextLimit::QtTextLimit(int maxBytes, QObject* parent)
    : QValidator(parent), m_maxBytes(maxBytes) {}

QValidator::State QtTextLimit::validate(QString& text, int&) const {
    return platform::DialogControls::takesText(m_maxBytes, qtconvert::fromQt(text)) ? Acceptable
                                                                                    : Invalid;
}
