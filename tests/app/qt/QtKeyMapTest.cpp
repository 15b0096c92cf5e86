#include "app/qt/QtKeyMap.h"

#include <gtest/gtest.h>

#include "platform/Message.h"
#include "platform/VirtualKey.h"

using namespace platform;

TEST(QtKeyMap, QtKeysBecomeWin32VirtualKeys) {
    const struct {
        int qt;
        Qt::KeyboardModifiers modifiers;
        int vk;
    } cases[] = {
        {Qt::Key_Left, Qt::NoModifier, VK_LEFT},
        {Qt::Key_Up, Qt::NoModifier, 0x26},
        {Qt::Key_Right, Qt::NoModifier, 0x27},
        {Qt::Key_Down, Qt::NoModifier, 0x28},
        {Qt::Key_PageUp, Qt::NoModifier, VK_PRIOR},
        {Qt::Key_PageDown, Qt::NoModifier, VK_NEXT},
        {Qt::Key_Home, Qt::NoModifier, 0x24},
        {Qt::Key_End, Qt::NoModifier, 0x23},
        {Qt::Key_Insert, Qt::ShiftModifier, 0x2D},
        {Qt::Key_Delete, Qt::ControlModifier, 0x2E},
        {Qt::Key_Return, Qt::NoModifier, VK_RETURN},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
        {Qt::Key_Escape, Qt::NoModifier, 0x1B},
        {Qt::Key_Menu, Qt::NoModifier, VK_APPS},
        {Qt::Key_Shift, Qt::ShiftModifier, VK_SHIFT},
        {Qt::Key_Control, Qt::ControlModifier, VK_CONTROL},
        {Qt::Key_Alt, Qt::AltModifier, VK_MENU},
        {Qt::Key_F1, Qt::NoModifier, 0x70},
        {Qt::Key_F2, Qt::NoModifier, VK_F2},
        {Qt::Key_F12, Qt::NoModifier, 0x7B},
        {Qt::Key_A, Qt::NoModifier, 'A'},
        {Qt::Key_W, Qt::ShiftModifier, 'W'},
        {Qt::Key_Z, Qt::ControlModifier, 'Z'},
        {Qt::Key_0, Qt::NoModifier, '0'},
        {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD5},
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_Semicolon, Qt::NoModifier, VK_OEM_1},
        {Qt::Key_Minus, Qt::NoModifier, VK_OEM_MINUS},
        {Qt::Key_Zenkaku_Hankaku, Qt::NoModifier, VK_KANJI},
        {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qtkeymap::virtualKey(c.qt, c.modifiers), c.vk) << std::hex << c.qt;
    }
}

TEST(QtKeyMap, ButtonsAndModifiersBecomeMouseKeys) {
    EXPECT_EQ(qtkeymap::mouseKeys(Qt::LeftButton, Qt::NoModifier), MK_LBUTTON);
    EXPECT_EQ(qtkeymap::mouseKeys(Qt::RightButton | Qt::MiddleButton, Qt::ShiftModifier),
              MK_RBUTTON | MK_MBUTTON | MK_SHIFT);
    EXPECT_EQ(qtkeymap::mouseKeys(Qt::NoButton, Qt::ControlModifier | Qt::AltModifier), MK_CONTROL);
}
