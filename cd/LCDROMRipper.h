#pragma once

#include <cstdint>
#include <string>

class LProgressDialog;

// One track to read from a disc into a 44100 Hz 16-bit stereo WAV file (the
// 46-byte header, then the sectors' bytes in disc order), and what came of
// it. Plain data.
struct LCDROMRipper {
    uint8_t uDrive = 0; // from 0
    uint8_t uTrack = 0; // from 0
    std::string strPath; // the WAV file to write
    // Read every chunk twice and accept it only when two reads agree.
    bool bVerify = false;

    // Out: the reason of a failure ("" when cancelled), the sectors written,
    // the chunks that needed more reads than planned, and the track's
    // AccurateRip checksums (offset-free).
    std::string strError {};
    uint32_t uSectors = 0;
    uint32_t uRereadChunks = 0;
    uint32_t uAccurateRipV1 = 0;
    uint32_t uAccurateRipV2 = 0;
};

// How many reads a chunk gets before its sectors count as unreadable.
constexpr int kCDROMReadAttempts = 5;

// 0 written; 1 cancelled; 2 failed (no drive, no such track, a data track,
// sectors that could not be read consistently, a write error). On any result
// but 0 the file is deleted.
int ProcessBody(LProgressDialog& dlg, LCDROMRipper& rip);
