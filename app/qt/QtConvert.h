#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string>

#include "platform/Geometry.h"

// Conversions between the ports' plain types and Qt's. Texts are UTF-8 on our side.
namespace qtconvert {

inline QString toQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

inline QRect toQt(const platform::Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

inline platform::Rect fromQt(const QRect& r) {
    return platform::Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

inline QPoint toQt(platform::Point p) {
    return QPoint(p.x, p.y);
}

inline platform::Point fromQt(QPoint p) {
    return platform::Point{p.x(), p.y()};
}

inline QSize toQt(platform::Size s) {
    return QSize(s.width, s.height);
}

inline platform::Size fromQt(QSize s) {
    return platform::Size{s.width(), s.height()};
}

}  // namespace qtconvert
