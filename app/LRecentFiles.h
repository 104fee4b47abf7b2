#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The recently closed files, kept in section "Recent" as "RecentFile N"
// (path) and "RecentFileDateN" (seconds since 1970 when it was closed),
// N = 1..11. An empty path is an empty slot.
class LRecentFiles {
public:
    static constexpr int kEntries = 11;
    struct Entry {
        std::string strPath;
        int64_t iDate = 0;
    };

    // All slots in order, empty ones included.
    static std::vector<Entry> Load();
    // A path already listed (case ignored) only gets the new date; else the
    // first empty slot takes it; else the slot with the oldest date (the
    // first on ties; slot 1 when none is older than now).
    static void Add(const std::string& strPath, int64_t iNow);
};
