#pragma once

#include <QKeyEvent>
#include <cstdint>

// Qt's keys and the virtual-key codes key macros store, both ways. Shift
// with a digit or punctuation key arrives as its symbol ("!", ":") and maps
// back to the key; the keypad's digits and operators have codes of their own.
class LQtVirtualKeys {
public:
    // The key value (code and modifier bits) of a key press; 0 for a
    // modifier alone or a key without a code.
    static uint32_t FromEvent(const QKeyEvent& key);
    static uint32_t FromKey(int iQtKey, Qt::KeyboardModifiers modifiers);
    // The Qt key and modifiers that make a key value; Key_unknown when the
    // code has no Qt key.
    static int ToQtKey(uint32_t uKey, Qt::KeyboardModifiers& modifiers);
};
