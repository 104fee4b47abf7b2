#include "app/LRecentFiles.h"

#include "platform/LSettings.h"

#include <strings.h>

namespace {
const char* const kSection = "Recent";

std::string PathName(int n)
{
    return "RecentFile " + std::to_string(n);
}
std::string DateName(int n)
{
    return "RecentFileDate" + std::to_string(n);
}
} // namespace

std::vector<LRecentFiles::Entry> LRecentFiles::Load()
{
    LSettings& s = LSettings::Get();
    std::vector<Entry> entries(kEntries);
    for (int n = 1; n <= kEntries; ++n) {
        Entry& e = entries[size_t(n - 1)];
        e.strPath = s.GetString(kSection, PathName(n));
        e.iDate = std::strtoll(s.GetString(kSection, DateName(n), "0").c_str(), nullptr, 10);
    }
    return entries;
}

void LRecentFiles::Add(const std::string& strPath, int64_t iNow)
{
    std::vector<Entry> entries = Load();
    LSettings& s = LSettings::Get();
    for (int n = 1; n <= kEntries; ++n) {
        if (strcasecmp(entries[size_t(n - 1)].strPath.c_str(), strPath.c_str()) == 0) {
            s.SetString(kSection, DateName(n), std::to_string(iNow));
            return;
        }
    }
    int iSlot = 0;
    for (int n = 1; n <= kEntries && !iSlot; ++n)
        if (entries[size_t(n - 1)].strPath.empty())
            iSlot = n;
    if (!iSlot) {
        iSlot = 1;
        int64_t iOldest = iNow;
        for (int n = 1; n <= kEntries; ++n) {
            if (entries[size_t(n - 1)].iDate < iOldest) {
                iOldest = entries[size_t(n - 1)].iDate;
                iSlot = n;
            }
        }
    }
    s.SetString(kSection, PathName(iSlot), strPath);
    s.SetString(kSection, DateName(iSlot), std::to_string(iNow));
}
