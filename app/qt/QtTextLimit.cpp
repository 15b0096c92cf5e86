#include "app/qt/QtTextLimit.h"

#include <utility>

#include "app/qt/QtConvert.h"
#include "platform/DialogControls.h"

QtTextLimit::QtTextLimit(platform::ControlSpec spec, QObject* parent)
    : QValidator(parent), m_spec(std::move(spec)) {}

QValidator::State QtTextLimit::validate(QString& text, int&) const {
    return platform::DialogControls::takesText(m_spec, qtconvert::fromQt(text)) ? Acceptable
                                                                                : Invalid;
}
