#pragma once

#include "cd/LCDROMDrives.h"

#include <array>
#include <cstdint>
#include <vector>

class LProgressDialog;

// What Process(LCDROMInfo) finds: the drives and, per drive, the duration of
// each track in whole seconds and whether it is a data track. A drive that
// cannot be opened or read keeps 0 tracks. Plain data.
struct LCDROMInfo {
    struct Disc {
        uint8_t uTrackCount = 0;
        std::vector<uint16_t> durations;
        std::vector<bool> data;
        std::string strError; // why the drive lists nothing, "" when read
    };
    uint8_t uDriveCount = 0;
    std::array<Disc, LCDROMINFO_MAXDRIVES> aDrives;
};

// Always 0 (1 when cancelled).
int ProcessBody(LProgressDialog& dlg, LCDROMInfo& info);
