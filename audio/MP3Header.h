#pragma once

#include "platform/LFile.h"
#include "platform/acm/mp3/MP3FrameHeader.h"

#include <cstdint>

// One parsed MPEG audio Layer III frame header.
class MP3Header {
public:
    int iVersion = 0; // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int iProtection = 1; // 1 when no CRC follows
    int iBitRate = 0; // bits per second
    int iSampleRateIndex = 0;
    int iPadding = 0;
    int iMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int iModeExt = 0;

    // Searches the file from its current position for the next acceptable
    // header (at most 16384 bytes further), counting every byte read off
    // iBytesAvailable and never reading once it is used up. A CRC after the
    // header is skipped. True with the fields filled.
    bool ReadHeader(LFile& file, int64_t& iBytesAvailable);

    MP3FrameParams Params() const;
    int GetSampleRate() const { return Params().SampleRate(); }
    // Frame length in bytes including header and padding.
    int GetFrameBytes() const { return Params().FrameBytes(); }
    int GetSamplesPerFrame() const { return iVersion == 0 ? 1152 : 576; }

private:
    bool Accept(const uint8_t* p);
};
