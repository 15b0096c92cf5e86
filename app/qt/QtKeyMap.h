#pragma once

#include <Qt>

// Translation of Qt's keys, buttons and modifiers into the Win32 codes that the editor's
// messages carry.
namespace qtkeymap {

// The virtual-key code of a Qt key (Qt::Key_Left → VK_LEFT), 0 when there is none. Keys of the
// keypad (KeypadModifier) map to the VK_NUMPAD* codes; shifted symbols map to the key that
// carries them on a US keyboard ('!' → '1').
int virtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// MK_* flags for the buttons and modifiers held.
int mouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

}  // namespace qtkeymap
