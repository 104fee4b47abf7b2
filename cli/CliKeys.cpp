// orvenna-cli keys [--file PATH]: the user's key macros, one a line.
#include "cli/CliCommand.h"
#include "features/LKeyMacros.h"
#include "features/LVirtualKeys.h"

#include <cstdio>

int CliKeys(const std::vector<std::string>& args)
{
    std::string strPath = LKeyMacros::DefaultPath();
    if (args.size() == 2 && args[0] == "--file")
        strPath = args[1];
    else if (!args.empty())
        return CliFail("usage: orvenna-cli keys [--file PATH]");
    LKeyMacros macros;
    std::string strError;
    if (!macros.Read(strPath, strError))
        return CliFail(strPath + ": " + strError);
    for (const LOVMacroKeys& macro : macros.Keys())
        std::printf("%s\t%s\n", LVirtualKeys::KeyName(macro.uKey).c_str(),
            LKeyMacros::Describe(CliCommandTable(), macro).c_str());
    return kExitOk;
}
