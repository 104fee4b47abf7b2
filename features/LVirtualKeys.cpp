#include "features/LVirtualKeys.h"

#include <cstdio>
#include <strings.h>
#include <vector>

namespace {
struct NamedCode {
    uint32_t uCode;
    const char* szName;
};

// Codes with names; letters, digits and function keys are added in Table().
const NamedCode kNamed[] = {
    { 0x08, "Backspace" },
    { 0x09, "Tab" },
    { 0x0D, "Enter" },
    { 0x13, "Pause" },
    { 0x14, "Caps Lock" },
    { 0x1B, "Esc" },
    { 0x20, "Space" },
    { 0x21, "Page Up" },
    { 0x22, "Page Down" },
    { 0x23, "End" },
    { 0x24, "Home" },
    { 0x25, "Left" },
    { 0x26, "Up" },
    { 0x27, "Right" },
    { 0x28, "Down" },
    { 0x2C, "Print Screen" },
    { 0x2D, "Insert" },
    { 0x2E, "Delete" },
    { 0x6A, "Num *" },
    { 0x6B, "Num +" },
    { 0x6D, "Num -" },
    { 0x6E, "Num ." },
    { 0x6F, "Num /" },
    { 0x90, "Num Lock" },
    { 0x91, "Scroll Lock" },
    { 0xBA, ";" },
    { 0xBB, "=" },
    { 0xBC, "," },
    { 0xBD, "-" },
    { 0xBE, "." },
    { 0xBF, "/" },
    { 0xC0, "`" },
    { 0xDB, "[" },
    { 0xDC, "\\" },
    { 0xDD, "]" },
    { 0xDE, "'" },
};

struct Entry {
    uint32_t uCode;
    std::string strName;
};

const std::vector<Entry>& Table()
{
    static const std::vector<Entry> table = [] {
        std::vector<Entry> t;
        for (char c = '0'; c <= '9'; ++c)
            t.push_back({ uint32_t(c), std::string(1, c) });
        for (char c = 'A'; c <= 'Z'; ++c)
            t.push_back({ uint32_t(c), std::string(1, c) });
        for (int i = 0; i < 10; ++i)
            t.push_back({ uint32_t(0x60 + i), "Num " + std::to_string(i) });
        for (int i = 1; i <= 24; ++i)
            t.push_back({ uint32_t(0x6F + i), "F" + std::to_string(i) });
        for (const NamedCode& n : kNamed)
            t.push_back({ n.uCode, n.szName });
        return t;
    }();
    return table;
}

const struct {
    uint32_t uBit;
    const char* szPrefix;
} kModifiers[] = { { kKeyCtrl, "Ctrl+" }, { kKeyAlt, "Alt+" }, { kKeyShift, "Shift+" } };
} // namespace

std::string LVirtualKeys::CodeName(uint32_t uCode)
{
    for (const Entry& e : Table())
        if (e.uCode == uCode)
            return e.strName;
    return "";
}

std::string LVirtualKeys::KeyName(uint32_t uKey)
{
    std::string strName;
    for (const auto& m : kModifiers)
        if (uKey & m.uBit)
            strName += m.szPrefix;
    std::string strCode = CodeName(uKey & kKeyCodeMask);
    if (strCode.empty()) {
        char sz[16];
        std::snprintf(sz, sizeof sz, "0x%02X", unsigned(uKey & kKeyCodeMask));
        strCode = sz;
    }
    return strName + strCode;
}

bool LVirtualKeys::ParseKeyName(const std::string& strName, uint32_t& uKey)
{
    uint32_t uBits = 0;
    std::string strRest = strName;
    // A prefix is taken only while something follows it, so "Num +" and
    // "Ctrl++" keep their plus.
    for (bool bFound = true; bFound;) {
        bFound = false;
        for (const auto& m : kModifiers) {
            const size_t n = std::char_traits<char>::length(m.szPrefix);
            if (strRest.size() > n && strncasecmp(strRest.c_str(), m.szPrefix, n) == 0) {
                uBits |= m.uBit;
                strRest.erase(0, n);
                bFound = true;
            }
        }
    }
    for (const Entry& e : Table())
        if (strcasecmp(e.strName.c_str(), strRest.c_str()) == 0) {
            uKey = uBits | e.uCode;
            return true;
        }
    unsigned uCode = 0;
    int iUsed = 0;
    if (std::sscanf(strRest.c_str(), "0x%x%n", &uCode, &iUsed) == 1
        && size_t(iUsed) == strRest.size() && uCode > 0 && uCode <= kKeyCodeMask) {
        uKey = uBits | uCode;
        return true;
    }
    return false;
}
