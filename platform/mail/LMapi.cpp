#include "platform/mail/LMapi.h"

#include "platform/LChildProcess.h"

#include <filesystem>

namespace {
const char* const kMailer = "xdg-email";
}

bool LMapi::IsPresent()
{
    return !LChildProcess::FindOnPath(kMailer).empty();
}

int LMapi::MAPISendDocuments(const std::vector<std::string>& paths)
{
    std::vector<std::string> args = { kMailer };
    for (const std::string& strPath : paths) {
        // Absolute, so a name beginning with "-" is never read as an option.
        std::error_code ec;
        std::string strAbsolute = std::filesystem::absolute(strPath, ec).string();
        args.insert(args.end(), { "--attach", ec ? strPath : strAbsolute });
    }
    return LChildProcess::StartDetached(args) ? 0 : 1;
}
