// Qt's keys to the key codes the application compares, and back.

#include "gui/os/KeyCodes.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace keys = s::gui::keys;
using s::gui::os::keyCodeOf;
using s::gui::os::keyCodeOfQtKey;
using s::gui::os::qtKeyOfKeyCode;

TEST(KeyCodes, QtKeysMapToTheCodesTheApplicationCompares)
{
    struct Case {
        int qt;
        bool keypad;
        int32_t code;
    } cases[] = {
        { Qt::Key_Delete, false, keys::Delete }, { Qt::Key_Return, false, keys::Return }, { Qt::Key_Enter, true, keys::Return },
        { Qt::Key_Escape, false, keys::Escape }, { Qt::Key_Backspace, false, keys::Back }, { Qt::Key_Tab, false, keys::Tab },
        { Qt::Key_Space, false, keys::Space }, { Qt::Key_Up, false, 38 }, { Qt::Key_PageDown, false, 34 },
        { Qt::Key_A, false, 65 }, { Qt::Key_Z, false, 90 }, { Qt::Key_0, false, 48 }, { Qt::Key_9, false, 57 },
        { Qt::Key_5, true, 101 }, { Qt::Key_Period, true, keys::Decimal }, { Qt::Key_F1, false, 112 },
        { Qt::Key_F12, false, 123 }, { Qt::Key_Alt, false, keys::Menu }, { Qt::Key_Eacute, false, keys::None },
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyCodeOfQtKey(c.qt, c.keypad), c.code) << std::hex << c.qt;

    QKeyEvent keypadSeven(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_EQ(keyCodeOf(keypadSeven), 103);
    QKeyEvent deleteKey(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(keyCodeOf(deleteKey), 46);
}

TEST(KeyCodes, EveryCodeWithAQtKeyComesBackToIt)
{
    for (int32_t code = 1; code < 256; ++code) {
        int qt = qtKeyOfKeyCode(code);
        if (qt == 0)
            continue;
        bool keypad = code >= keys::Numpad0 && code <= keys::Decimal;
        EXPECT_EQ(keyCodeOfQtKey(qt, keypad), code) << code;
    }
    EXPECT_EQ(qtKeyOfKeyCode(keys::Delete), Qt::Key_Delete);
    EXPECT_EQ(qtKeyOfKeyCode(0), 0);
}
