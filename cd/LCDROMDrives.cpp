#include "cd/LCDROMDrives.h"

#include "cd/LCDROMSimDrive.h"
#include "cd/LSCSISgIo.h"
#include "platform/LFile.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {
unsigned long Number(const std::string& strName)
{
    size_t i = strName.size();
    while (i > 0 && strName[i - 1] >= '0' && strName[i - 1] <= '9')
        --i;
    return i < strName.size() ? std::strtoul(strName.c_str() + i, nullptr, 10) : 0;
}

std::string ReadText(const std::string& strPath)
{
    LFile f;
    if (!f.Open(strPath, LFile::Mode::Read))
        return {};
    // A /proc file reports no size: read until it ends.
    std::string strText;
    char a[4096];
    for (int64_t n; (n = f.Read(a, sizeof(a))) > 0 && strText.size() < (1u << 20);)
        strText.append(a, size_t(n));
    return strText;
}

std::vector<std::string> SimDrives(const char* szList)
{
    std::vector<std::string> v;
    std::istringstream in(szList);
    for (std::string s; std::getline(in, s, ':');)
        if (!s.empty())
            v.push_back(s);
    return v;
}
} // namespace

void LCDROMDrives::SortByNumber(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(),
        [](const std::string& a, const std::string& b) { return Number(a) < Number(b); });
}

std::vector<std::string> LCDROMDrives::ParseInfo(const std::string& strInfo)
{
    std::istringstream in(strInfo);
    std::vector<std::string> names;
    for (std::string strLine; std::getline(in, strLine);) {
        const std::string kKey = "drive name:";
        if (strLine.compare(0, kKey.size(), kKey) != 0)
            continue;
        std::istringstream words(strLine.substr(kKey.size()));
        for (std::string w; words >> w;)
            names.push_back(w);
    }
    SortByNumber(names);
    return names;
}

std::vector<std::string> LCDROMDrives::List()
{
    std::vector<std::string> v;
    if (const char* szSim = std::getenv("ORVENNA_CDROM_SIM")) {
        v = SimDrives(szSim);
    } else {
        static bool bTraced = false;
        if (!bTraced)
            LTrace("LCDROMDrives::List no ASPI here: drives are reached by SG_IO pass-through");
        bTraced = true;
        std::vector<std::string> names = ParseInfo(ReadText("/proc/sys/dev/cdrom/info"));
        if (names.empty()) {
            std::error_code ec;
            for (const auto& e : std::filesystem::directory_iterator("/dev", ec)) {
                const std::string strName = e.path().filename().string();
                if (strName.size() > 2 && strName.compare(0, 2, "sr") == 0)
                    names.push_back(strName);
            }
            SortByNumber(names);
        }
        for (const std::string& s : names)
            v.push_back("/dev/" + s);
    }
    if (v.size() > size_t(LCDROMINFO_MAXDRIVES))
        v.resize(LCDROMINFO_MAXDRIVES);
    return v;
}

int ProcessSCSICDGetNumberCDDrives()
{
    return int(LCDROMDrives::List().size());
}

int ProcessSCSICDOpenDrive(int n, LSCSI& scsi, std::string& strError)
{
    const std::vector<std::string> drives = LCDROMDrives::List();
    if (n < 0 || size_t(n) >= drives.size()) {
        strError = "there is no CD-ROM drive " + std::to_string(n);
        return 2;
    }
    if (std::getenv("ORVENNA_CDROM_SIM")) {
        auto p = std::make_unique<LCDROMSimDrive>();
        if (!p->Load(drives[size_t(n)], strError))
            return 2;
        scsi.SetTransport(std::move(p));
        return 0;
    }
    auto p = std::make_unique<LSCSISgIo>();
    if (!p->Open(drives[size_t(n)], strError)) {
        LTrace("ProcessSCSICDOpenDrive %s", strError.c_str());
        return 2;
    }
    scsi.SetTransport(std::move(p));
    return 0;
}
