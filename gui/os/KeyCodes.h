#pragma once

#include "gui/KeyCodes.h"

#include <cstdint>

class QKeyEvent;

namespace s::gui::os {

// Qt's key numbers to the key codes the application compares (s::gui::keys). Keys without a code
// of their own give keys::None. The keypad's digits give the keypad codes when the event carries
// the keypad modifier.
int32_t keyCodeOfQtKey(int qtKey, bool keypad = false);
int32_t keyCodeOf(const QKeyEvent& event);
// Back to Qt's key number (0 when there is none), for a key a listener replaced.
int qtKeyOfKeyCode(int32_t code);

}
