// orvenna-cli effects: every effect of the effects table with the values
// its dialog and scripts take (key=value in "orvenna-cli edit").
#include "cli/CliCommand.h"
#include "effects/LEffectTable.h"

#include <climits>
#include <cstdio>
#include <string>

namespace {
std::string Bound(int32_t i, bool bLow)
{
    if (i == (bLow ? INT32_MIN : INT32_MAX))
        return "";
    return std::to_string(i);
}

void PrintField(const LValueField& f)
{
    const std::string strRange = Bound(f.iMin, true) + ".." + Bound(f.iMax, false);
    std::printf("    %-20s %-14s default %-6d %-6s %s%s\n", f.szKey, strRange.c_str(),
        int(f.iDefault), f.szUnit, f.szLabel, f.bStored ? "" : " (not stored)");
    for (const auto& [szText, iValue] : f.choices)
        std::printf("    %-20s %d = %s\n", "", int(iValue), szText);
}
} // namespace

int CliEffects(const std::vector<std::string>& args)
{
    if (!args.empty())
        return CliFail("usage: orvenna-cli effects");
    for (const LEffect& e : GetEffects()) {
        std::printf("%s\n", e.szName);
        for (const LValueField& f : e.form)
            PrintField(f);
    }
    return kExitOk;
}
