#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

// The editor's texts in the user's language, as the translator installed for it has them.
namespace qttexts {

// The one context of every translation.
inline constexpr char kContext[] = "Pelorin";

// A text that reaches the window system whole: its translation when it is one of the editor's
// texts, else the text as it is (data the user typed or a file name; a text translated before).
inline QString translated(const std::string& text) {
    return QCoreApplication::translate(kContext, text.c_str());
}

}  // namespace qttexts
