#include "features/LKeyMacros.h"

#include "engine/LCommandTable.h"
#include "platform/LFile.h"
#include "platform/LFolders.h"

#include <algorithm>

const char* const LKeyMacros::kVersionError = "This file does not have the same version with the "
                                              "current Orvenna version or it is corrupted.";

namespace {
bool ReadU32(const uint8_t*& p, const uint8_t* pEnd, uint32_t& u)
{
    if (pEnd - p < 4)
        return false;
    u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    p += 4;
    return true;
}

void PutU32(std::vector<uint8_t>& out, uint32_t u)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(u >> (8 * i)));
}
} // namespace

bool LOVMacroKeys::operator==(const LOVMacroKeys& o) const
{
    return uKey == o.uKey
        && std::equal(commands.begin(), commands.end(), o.commands.begin(), o.commands.end(),
            [](const LOVCommand& a, const LOVCommand& b) { return a.uId == b.uId; });
}

std::string LKeyMacros::DefaultPath()
{
    std::string strPath = LFolders::GetCurrentFolder();
    LFile::FilePathCat(strPath, "keys.dat");
    return strPath;
}

bool LKeyMacros::Read(const std::string& strPath, std::string& strError)
{
    keys.clear();
    LFile file;
    if (!file.Open(strPath, LFile::Mode::Read))
        return true;
    const int64_t iSize = file.GetFileSizeBytes();
    std::vector<uint8_t> data(size_t(std::max<int64_t>(iSize, 0)));
    if (iSize > 0 && file.Read(data.data(), iSize) != iSize)
        data.clear();
    if (!Parse(data.data(), data.size())) {
        strError = kVersionError;
        return false;
    }
    return true;
}

bool LKeyMacros::Parse(const uint8_t* pData, size_t nBytes)
{
    keys.clear();
    if (nBytes < 1 || pData[0] != 0)
        return false;
    const uint8_t* p = pData + 1;
    const uint8_t* pEnd = pData + nBytes;
    LOVMacroKeys macro;
    while (ReadU32(p, pEnd, macro.uKey)) {
        macro.commands.clear();
        const unsigned nCount = p < pEnd ? *p++ : 0;
        LOVCommand command;
        for (unsigned i = 0; i < nCount && ReadU32(p, pEnd, command.uId); ++i)
            macro.commands.push_back(command);
        keys.push_back(macro);
    }
    return true;
}

std::vector<uint8_t> LKeyMacros::Serialize() const
{
    std::vector<uint8_t> out { 0 };
    for (const LOVMacroKeys& macro : keys) {
        PutU32(out, macro.uKey);
        const size_t n = std::min(macro.commands.size(), kMaxCommands);
        out.push_back(uint8_t(n));
        for (size_t i = 0; i < n; ++i)
            PutU32(out, macro.commands[i].uId);
    }
    return out;
}

bool LKeyMacros::Write(const std::string& strPath) const
{
    // Written beside the old file and renamed over it, so a failed write
    // keeps the macros the user had.
    const std::vector<uint8_t> data = Serialize();
    const std::string strTemp = strPath + ".new";
    LFile file;
    if (!file.Open(strTemp, LFile::Mode::CreateWrite))
        return false;
    const bool bWritten = file.Write(data.data(), int64_t(data.size())) == int64_t(data.size())
        && file.Sync() && file.Close();
    if (!bWritten || LFile::ReplaceFile(strTemp, strPath) != 0) {
        LFile::Delete(strTemp);
        return false;
    }
    return true;
}

const LOVMacroKeys* LKeyMacros::Find(uint32_t uKey) const
{
    auto it = std::find_if(
        keys.begin(), keys.end(), [uKey](const LOVMacroKeys& m) { return m.uKey == uKey; });
    return it == keys.end() ? nullptr : &*it;
}

bool LKeyMacros::ProcessMacroKeyDown(uint32_t uKey, const std::function<void(int)>& fnCommand) const
{
    const LOVMacroKeys* pMacro = Find(uKey);
    if (!pMacro)
        return false;
    // A copy: a command may change the list (Settings from a macro).
    const std::vector<LOVCommand> commands = pMacro->commands;
    for (const LOVCommand& c : commands)
        fnCommand(int(c.uId));
    return true;
}

std::string LKeyMacros::CommandName(const LCommandTable& table, uint32_t uId)
{
    const LCommand* p = table.Find(int(uId));
    return p && p->iMacro > 0 ? p->szName : "";
}

std::string LKeyMacros::Describe(const LCommandTable& table, const LOVMacroKeys& macro)
{
    std::string strText;
    for (size_t i = 0; i < macro.commands.size(); ++i)
        strText += (i ? "->" : "") + CommandName(table, macro.commands[i].uId);
    return strText;
}
