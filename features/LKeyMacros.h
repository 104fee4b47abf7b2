#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class LCommandTable;

// One command of a macro: a main-window command id.
struct LOVCommand {
    uint32_t uId = 0;
};

// A key combination (LVirtualKeys) bound to the commands it runs, in order.
struct LOVMacroKeys {
    uint32_t uKey = 0;
    std::vector<LOVCommand> commands;

    bool operator==(const LOVMacroKeys& o) const;
};

// The user's key macros, in file order, and their file "keys.dat": a version
// byte 0, then for every key its value (4 bytes), a command count (1 byte)
// and that many command ids (4 bytes each), little-endian. Used on the
// user-interface thread; the window owns one for the run.
class LKeyMacros {
public:
    // A macro holds at most this many commands: the count is one byte.
    static constexpr size_t kMaxCommands = 255;
    static const char* const kVersionError;

    // "keys.dat" in the Current data folder.
    static std::string DefaultPath();

    // Replaces the list with the file's. A missing file gives an empty list;
    // a file whose version byte is not 0 gives an empty list and false with
    // strError set. A tail that cannot be read whole is dropped: a key value
    // cut short ends the list, a command id cut short ends that key's list.
    bool Read(const std::string& strPath, std::string& strError);
    bool Parse(const uint8_t* pData, size_t nBytes);
    // Writes the whole list (at most kMaxCommands commands a key); false
    // when the file cannot be written, leaving any old file as it was.
    bool Write(const std::string& strPath) const;
    std::vector<uint8_t> Serialize() const;

    std::vector<LOVMacroKeys>& Keys() { return keys; }
    const std::vector<LOVMacroKeys>& Keys() const { return keys; }
    // The first macro bound to exactly this key value, or null.
    const LOVMacroKeys* Find(uint32_t uKey) const;

    // Runs the commands of the macro bound to uKey, each one finished before
    // the next, through fnCommand (the window's command entry). False when
    // no macro is bound to it; a macro without commands still takes the key.
    bool ProcessMacroKeyDown(uint32_t uKey, const std::function<void(int)>& fnCommand) const;

    // A command's name in macro lists: its row's name when the key macros
    // offer it, else empty. The commands joined by "->" for the Keys page.
    static std::string CommandName(const LCommandTable& table, uint32_t uId);
    static std::string Describe(const LCommandTable& table, const LOVMacroKeys& macro);

private:
    std::vector<LOVMacroKeys> keys;
};
