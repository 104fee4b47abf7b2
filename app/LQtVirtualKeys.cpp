#include "app/LQtVirtualKeys.h"

#include "features/LVirtualKeys.h"

#include <vector>

namespace {
struct Row {
    int iQtKey;
    uint32_t uCode;
    bool bKeypad; // only with the keypad modifier
};

// Rows for a code come in order of preference for the way back.
const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = [] {
        std::vector<Row> r;
        for (int i = 0; i < 10; ++i)
            r.push_back({ Qt::Key_0 + i, uint32_t(0x60 + i), true });
        const Row keypad[] = { { Qt::Key_Asterisk, 0x6A, true }, { Qt::Key_Plus, 0x6B, true },
            { Qt::Key_Minus, 0x6D, true }, { Qt::Key_Period, 0x6E, true },
            { Qt::Key_Comma, 0x6E, true }, { Qt::Key_Slash, 0x6F, true } };
        r.insert(r.end(), std::begin(keypad), std::end(keypad));
        for (int i = 0; i < 10; ++i)
            r.push_back({ Qt::Key_0 + i, uint32_t('0' + i), false });
        for (int i = 0; i < 26; ++i)
            r.push_back({ Qt::Key_A + i, uint32_t('A' + i), false });
        for (int i = 0; i < 24; ++i)
            r.push_back({ Qt::Key_F1 + i, uint32_t(0x70 + i), false });
        const Row other[] = {
            { Qt::Key_Backspace, 0x08, false },
            { Qt::Key_Tab, 0x09, false },
            { Qt::Key_Backtab, 0x09, false },
            { Qt::Key_Return, 0x0D, false },
            { Qt::Key_Enter, 0x0D, false },
            { Qt::Key_Pause, 0x13, false },
            { Qt::Key_CapsLock, 0x14, false },
            { Qt::Key_Escape, 0x1B, false },
            { Qt::Key_Space, 0x20, false },
            { Qt::Key_PageUp, 0x21, false },
            { Qt::Key_PageDown, 0x22, false },
            { Qt::Key_End, 0x23, false },
            { Qt::Key_Home, 0x24, false },
            { Qt::Key_Left, 0x25, false },
            { Qt::Key_Up, 0x26, false },
            { Qt::Key_Right, 0x27, false },
            { Qt::Key_Down, 0x28, false },
            { Qt::Key_Print, 0x2C, false },
            { Qt::Key_Insert, 0x2D, false },
            { Qt::Key_Delete, 0x2E, false },
            { Qt::Key_NumLock, 0x90, false },
            { Qt::Key_ScrollLock, 0x91, false },
            // The US layout's punctuation keys, plain and with Shift.
            { Qt::Key_Exclam, '1', false },
            { Qt::Key_At, '2', false },
            { Qt::Key_NumberSign, '3', false },
            { Qt::Key_Dollar, '4', false },
            { Qt::Key_Percent, '5', false },
            { Qt::Key_AsciiCircum, '6', false },
            { Qt::Key_Ampersand, '7', false },
            { Qt::Key_Asterisk, '8', false },
            { Qt::Key_ParenLeft, '9', false },
            { Qt::Key_ParenRight, '0', false },
            { Qt::Key_Semicolon, 0xBA, false },
            { Qt::Key_Colon, 0xBA, false },
            { Qt::Key_Equal, 0xBB, false },
            { Qt::Key_Plus, 0xBB, false },
            { Qt::Key_Comma, 0xBC, false },
            { Qt::Key_Less, 0xBC, false },
            { Qt::Key_Minus, 0xBD, false },
            { Qt::Key_Underscore, 0xBD, false },
            { Qt::Key_Period, 0xBE, false },
            { Qt::Key_Greater, 0xBE, false },
            { Qt::Key_Slash, 0xBF, false },
            { Qt::Key_Question, 0xBF, false },
            { Qt::Key_QuoteLeft, 0xC0, false },
            { Qt::Key_AsciiTilde, 0xC0, false },
            { Qt::Key_BracketLeft, 0xDB, false },
            { Qt::Key_BraceLeft, 0xDB, false },
            { Qt::Key_Backslash, 0xDC, false },
            { Qt::Key_Bar, 0xDC, false },
            { Qt::Key_BracketRight, 0xDD, false },
            { Qt::Key_BraceRight, 0xDD, false },
            { Qt::Key_Apostrophe, 0xDE, false },
            { Qt::Key_QuoteDbl, 0xDE, false },
        };
        r.insert(r.end(), std::begin(other), std::end(other));
        return r;
    }();
    return rows;
}
} // namespace

uint32_t LQtVirtualKeys::FromEvent(const QKeyEvent& key)
{
    return FromKey(key.key(), key.modifiers());
}

uint32_t LQtVirtualKeys::FromKey(int iQtKey, Qt::KeyboardModifiers modifiers)
{
    const bool bKeypad = modifiers & Qt::KeypadModifier;
    for (const Row& r : Rows()) {
        if (r.iQtKey != iQtKey || (r.bKeypad && !bKeypad))
            continue;
        uint32_t uKey = r.uCode;
        if (modifiers & Qt::ControlModifier)
            uKey |= kKeyCtrl;
        if (modifiers & Qt::AltModifier)
            uKey |= kKeyAlt;
        if ((modifiers & Qt::ShiftModifier) || iQtKey == Qt::Key_Backtab)
            uKey |= kKeyShift;
        return uKey;
    }
    return 0;
}

int LQtVirtualKeys::ToQtKey(uint32_t uKey, Qt::KeyboardModifiers& modifiers)
{
    modifiers = Qt::NoModifier;
    if (uKey & kKeyCtrl)
        modifiers |= Qt::ControlModifier;
    if (uKey & kKeyAlt)
        modifiers |= Qt::AltModifier;
    if (uKey & kKeyShift)
        modifiers |= Qt::ShiftModifier;
    for (const Row& r : Rows())
        if (r.uCode == (uKey & kKeyCodeMask)) {
            if (r.bKeypad)
                modifiers |= Qt::KeypadModifier;
            return r.iQtKey;
        }
    return Qt::Key_unknown;
}
