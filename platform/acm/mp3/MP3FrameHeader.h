#pragma once

#include <cstdint>

// The fields of one MPEG audio Layer III frame header that decoding needs.
struct MP3FrameParams {
    int iVersion = 0; // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int iProtection = 1; // 1: no CRC follows the header
    int iBitRate = 0; // bits per second
    int iSampleRateIndex = 0; // 0..2
    int iPadding = 0;
    int iMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    int iModeExt = 0;

    int Channels() const { return iMode == 3 ? 1 : 2; }
    int SampleRate() const;
    // Index 0..8 into the tables by version and rate.
    int RateTableIndex() const { return iVersion * 3 + iSampleRateIndex; }
    int SamplesPerFrame() const { return iVersion == 0 ? 1152 : 576; }
    int Granules() const { return iVersion == 0 ? 2 : 1; }
    // Whole frame including the header.
    int FrameBytes() const;
    int SideInfoBytes() const;
    // Bytes after the header and the CRC: side information and main data.
    int BodyBytes() const { return FrameBytes() - 4 - (iProtection ? 0 : 2); }
};

// Bit rates by version family (0: MPEG-1, 1: MPEG-2 and 2.5) and index 1..14.
extern const int kMP3BitRates[2][15];

// Parses 4 header bytes; false unless it is a valid Layer III header with a
// usable bit rate (not free format) and sampling rate.
bool MP3ParseHeader(const uint8_t* p, MP3FrameParams& params);
