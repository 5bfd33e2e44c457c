#include "gui/os/KeyCodes.h"

#include <QKeyEvent>

namespace s::gui::os {

namespace {

struct Pair {
    int qt;
    int32_t code;
};

// Keys whose code is not a plain range of Qt's numbers.
constexpr Pair named[] = {
    { Qt::Key_Backspace, keys::Back },
    { Qt::Key_Tab, keys::Tab },
    { Qt::Key_Backtab, keys::Tab },
    { Qt::Key_Return, keys::Return },
    { Qt::Key_Enter, keys::Return },
    { Qt::Key_Shift, keys::Shift },
    { Qt::Key_Control, keys::Control },
    { Qt::Key_Alt, keys::Menu },
    { Qt::Key_Pause, keys::Pause },
    { Qt::Key_CapsLock, keys::CapsLock },
    { Qt::Key_Escape, keys::Escape },
    { Qt::Key_Space, keys::Space },
    { Qt::Key_PageUp, keys::PageUp },
    { Qt::Key_PageDown, keys::PageDown },
    { Qt::Key_End, keys::End },
    { Qt::Key_Home, keys::Home },
    { Qt::Key_Left, keys::Left },
    { Qt::Key_Up, keys::Up },
    { Qt::Key_Right, keys::Right },
    { Qt::Key_Down, keys::Down },
    { Qt::Key_Print, keys::Print },
    { Qt::Key_Insert, keys::Insert },
    { Qt::Key_Delete, keys::Delete },
    { Qt::Key_Meta, keys::LeftWin },
    { Qt::Key_Menu, keys::Apps },
    { Qt::Key_Asterisk, keys::Multiply },
    { Qt::Key_Plus, keys::Add },
    { Qt::Key_Minus, keys::Subtract },
    { Qt::Key_Slash, keys::Divide },
    { Qt::Key_NumLock, keys::NumLock },
    { Qt::Key_ScrollLock, keys::ScrollLock },
};

}

int32_t keyCodeOfQtKey(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return (keypad ? keys::Numpad0 : keys::Digit0) + (qtKey - Qt::Key_0);
    if (keypad && qtKey == Qt::Key_Period)
        return keys::Decimal;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return keys::A + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return keys::F1 + (qtKey - Qt::Key_F1);
    for (const Pair& p : named) {
        if (p.qt == qtKey)
            return p.code;
    }
    return keys::None;
}

int32_t keyCodeOf(const QKeyEvent& event)
{
    return keyCodeOfQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

int qtKeyOfKeyCode(int32_t code)
{
    if (code >= keys::Digit0 && code <= keys::Digit0 + 9)
        return Qt::Key_0 + (code - keys::Digit0);
    if (code >= keys::Numpad0 && code <= keys::Numpad0 + 9)
        return Qt::Key_0 + (code - keys::Numpad0);
    if (code >= keys::A && code <= keys::A + 25)
        return Qt::Key_A + (code - keys::A);
    if (code >= keys::F1 && code <= keys::F1 + 23)
        return Qt::Key_F1 + (code - keys::F1);
    if (code == keys::Decimal)
        return Qt::Key_Period;
    for (const Pair& p : named) {
        if (p.code == code)
            return p.qt;
    }
    return 0;
}

}
