#pragma once

#include <cstdint>
#include <cstring>

// One parsed MPEG audio Layer III frame header: the fields that decoding, the
// file reader and the codec manager's stream need. Plain data.
struct MP3Header {
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
    // Same version, rate and single-channel-ness: frames of one stream.
    bool SameStream(const MP3Header& o) const
    {
        return iVersion == o.iVersion && iSampleRateIndex == o.iSampleRateIndex
            && (iMode == 3) == (o.iMode == 3);
    }

    // Why 4 header bytes are not a usable Layer III header (free format,
    // reserved fields), or nullptr when they are.
    static const char* Refusal(const uint8_t* p);
    // Fills the fields from 4 header bytes; false (fields kept) when refused.
    bool Parse(const uint8_t* p);

    // Searches a file from its current position for the next usable header,
    // at most 16384 bytes further, counting every byte read off
    // iBytesAvailable and never reading once it is used up; a CRC after the
    // header is skipped. File: anything with int64_t Read(void*, int64_t).
    // pfnTrace (may be null) hears why bytes were passed over.
    template <class File>
    bool ReadHeader(File& file, int64_t& iBytesAvailable, void (*pfnTrace)(const char*) = nullptr);
};

// Bit rates by version family (0: MPEG-1, 1: MPEG-2 and 2.5) and index 1..14.
extern const int kMP3BitRates[2][15];

template <class File>
bool MP3Header::ReadHeader(File& file, int64_t& iAvail, void (*pfnTrace)(const char*))
{
    auto trace = [pfnTrace](const char* sz) {
        if (pfnTrace)
            pfnTrace(sz);
    };
    auto read = [&](uint8_t* p, int n) {
        if (iAvail < n)
            return false;
        iAvail -= n;
        return file.Read(p, n) == n;
    };
    uint8_t a[4];
    if (!read(a, 4)) {
        trace("MP3Header::ReadHeader failed because unable to read header");
        return false;
    }
    for (int attempt = 0; attempt < 16385; ++attempt) {
        const char* szWhy = Refusal(a);
        if (!szWhy) {
            Parse(a);
            uint8_t crc[2];
            return iProtection != 0 || read(crc, 2);
        }
        if (*szWhy)
            trace(szWhy);
        if (attempt == 16384)
            break;
        std::memmove(a, a + 1, 3);
        if (!read(a + 3, 1)) {
            trace("MP3Header::ReadHeader failed because unable to read header");
            return false;
        }
    }
    trace("MP3Header::ReadHeader failed because unable to find header after 16384 bytes");
    return false;
}
