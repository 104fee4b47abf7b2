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

std::string LFolders::XdgBase(const char* szVar, const char* szUnderHome)
{
    if (const char* sz = getenv(szVar); sz && *sz)
        return std::string(sz);
    if (const char* szHome = getenv("HOME"); szHome && *szHome)
        return std::string(szHome) + szUnderHome;
    return std::string(".");
}

std::string LFolders::GetCurrentFolder()
{
    std::string strFolder = LSettings::Get().GetString("Folders", "Current");
    if (strFolder.empty())
        strFolder = XdgBase("XDG_DATA_HOME", "/.local/share") + "/Orvenna/Current";
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
