#pragma once

#include <cstdint>

namespace s::gui {

// The key codes the application compares (in a window's key event, a list's key event): the
// numbers of the classic virtual-key table, so stored shortcuts and the application's checks keep
// their meaning on every platform. Letters and digits are their upper-case ASCII codes.
namespace keys {

enum KeyCode : int32_t {
    None = 0,
    Back = 8,
    Tab = 9,
    Return = 13,
    Shift = 16,
    Control = 17,
    Menu = 18, // Alt
    Pause = 19,
    CapsLock = 20,
    Escape = 27,
    Space = 32,
    PageUp = 33,
    PageDown = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Print = 44,
    Insert = 45,
    Delete = 46,
    Digit0 = 48, // through Digit9 = 57
    A = 65,      // through Z = 90
    LeftWin = 91,
    Apps = 93,
    Numpad0 = 96, // through Numpad9 = 105
    Multiply = 106,
    Add = 107,
    Subtract = 109,
    Decimal = 110,
    Divide = 111,
    F1 = 112, // through F24 = 135
    NumLock = 144,
    ScrollLock = 145,
};

}

}
