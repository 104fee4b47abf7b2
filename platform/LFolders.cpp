#include "platform/LFolders.h"

#include "platform/LSettings.h"
#include "platform/LTrace.h"

#include <cstdlib>
#include <filesystem>

bool LFolders::Ensure(const std::string& strFolder)
{
    std::error_code ec;
    std::filesystem::create_directories(strFolder, ec);
    bool bOk = std::filesystem::is_directory(strFolder, ec);
    if (!bOk)
        LTrace("LFolders::Ensure unable to create %s", strFolder.c_str());
    return bOk;
}

std::string LFolders::GetCurrentFolder()
{
    std::string strFolder = LSettings::Get().GetString("Folders", "Current");
    if (strFolder.empty()) {
        std::string strBase;
        if (const char* sz = getenv("XDG_DATA_HOME"); sz && *sz)
            strBase = sz;
        else if (const char* szHome = getenv("HOME"); szHome && *szHome)
            strBase = std::string(szHome) + "/.local/share";
        else
            strBase = ".";
        strFolder = strBase + "/Orvenna/Current";
    }
    Ensure(strFolder);
    return strFolder;
}

std::string LFolders::GetWorkingFolder()
{
    std::string strFolder = LSettings::Get().GetString("Settings", "WorkingFolder");
    if (strFolder.empty())
        return GetCurrentFolder();
    Ensure(strFolder);
    return strFolder;
}
