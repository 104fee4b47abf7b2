#pragma once

#include "cd/LSCSI.h"

#include <string>
#include <vector>

// The most drives the CD operations keep.
constexpr int LCDROMINFO_MAXDRIVES = 8;

// Finds the CD drives and opens one. With ORVENNA_CDROM_SIM set, its
// ':'-separated description files are the drives (set but empty: none);
// otherwise the drives named in /proc/sys/dev/cdrom/info, sorted by number,
// or failing that the /dev/sr* nodes. Called on the thread of the CD
// operation.
class LCDROMDrives {
public:
    // What drive n is: a /dev node or a description file.
    static std::vector<std::string> List();
    // The drive names of a /proc/sys/dev/cdrom/info text ("sr0", "sr1" ...),
    // sorted by their number.
    static std::vector<std::string> ParseInfo(const std::string& strInfo);
    // Sorts drive names by the number at their end.
    static void SortByNumber(std::vector<std::string>& names);
};

// The number of drives, at most LCDROMINFO_MAXDRIVES.
int ProcessSCSICDGetNumberCDDrives();
// Opens drive n (from 0) into scsi: 0, or 2 with the reason.
int ProcessSCSICDOpenDrive(int n, LSCSI& scsi, std::string& strError);
