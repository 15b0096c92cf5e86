#pragma once

namespace platform {

// Keys by their Win32 virtual-key codes, so that key tables read the same in code as in the
// editor's design. Digits and letters have no names: they are their ASCII codes ('0' to '9',
// 'A' to 'Z'), as in Win32. Keys carry these codes in key messages and in Host::isKeyDown.
enum VirtualKey : int {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,  // Alt
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_KANA = 0x15,
    VK_KANJI = 0x19,
    VK_ESCAPE = 0x1B,
    VK_CONVERT = 0x1C,
    VK_NONCONVERT = 0x1D,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,  // Page Up
    VK_NEXT = 0x22,   // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,  // the Application (menu) key
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1 = 0x61,
    VK_NUMPAD2 = 0x62,
    VK_NUMPAD3 = 0x63,
    VK_NUMPAD4 = 0x64,
    VK_NUMPAD5 = 0x65,
    VK_NUMPAD6 = 0x66,
    VK_NUMPAD7 = 0x67,
    VK_NUMPAD8 = 0x68,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_F24 = 0x87,  // F13 to F23 lie between, one code each
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_OEM_1 = 0xBA,       // ;:
    VK_OEM_PLUS = 0xBB,    // =+
    VK_OEM_COMMA = 0xBC,   // ,<
    VK_OEM_MINUS = 0xBD,   // -_
    VK_OEM_PERIOD = 0xBE,  // .>
    VK_OEM_2 = 0xBF,       // /?
    VK_OEM_3 = 0xC0,       // `~
    VK_OEM_4 = 0xDB,       // [{
    VK_OEM_5 = 0xDC,       // \|
    VK_OEM_6 = 0xDD,       // ]}
    VK_OEM_7 = 0xDE,       // '"
    VK_OEM_102 = 0xE2,     // the extra key of 102-key and Japanese keyboards
};

// The modifiers that change what a key does. A key that acts on its release acts with those held
// when it went down: typists (and xdotool) often let go of Ctrl a moment before the letter.
struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
};

}  // namespace platform
