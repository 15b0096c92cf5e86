#pragma once

#include <QValidator>

// Keeps an edit's text within its control's maxBytes as the user types: input that would take
// more code page 932 bytes, or a character that code page cannot hold, is refused.
class QtTextLimit : public QValidator {
public:
    QtTextLimit(int maxBytes, QObject* parent);

    State validate(QString& text, int& pos) const override;

private:
    int m_maxBytes;
};
