#pragma once

#include <QValidator>

#include "platform/DialogTemplate.h"

// Keeps an edit's text within its control's maxBytes as the user types: input that would take
// more code page 932 bytes, or a character that code page cannot hold, is refused.
class QtTextLimit : public QValidator {
public:
    QtTextLimit(platform::ControlSpec spec, QObject* parent);

    State validate(QString& text, int& pos) const override;

private:
    platform::ControlSpec m_spec;
};
