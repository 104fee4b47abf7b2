#pragma once

#include <cstdint>
#include <string>

// A key combination as key macros store it: the virtual-key code in bits
// 0-15 and the modifiers held with it in the bits below.
enum : uint32_t {
    kKeyCodeMask = 0xFFFFu,
    kKeyAlt = 0x10000u,
    kKeyCtrl = 0x20000u,
    kKeyShift = 0x40000u,
};

// The virtual-key codes the program knows by name: letters, digits, F1-F24,
// the editing and arrow keys, the keypad and the punctuation keys of a US
// layout. One table serves names both ways.
class LVirtualKeys {
public:
    // The key's own name ("A", "F1", "Page Up", "Num +"); empty when unknown.
    static std::string CodeName(uint32_t uCode);
    // "Ctrl+", "Alt+", "Shift+" (those held, in this order), then the key's
    // name, or its code in hex when it has none.
    static std::string KeyName(uint32_t uKey);
    // The key value of a name as KeyName writes it ("Ctrl+Shift+F1"),
    // modifiers in any order and case; false when it names no key.
    static bool ParseKeyName(const std::string& strName, uint32_t& uKey);
};
