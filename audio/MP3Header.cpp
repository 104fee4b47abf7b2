#include "audio/MP3Header.h"

#include "platform/LTrace.h"

#include <cstring>

static bool ReadBytes(LFile& file, int64_t& iAvail, uint8_t* p, int n)
{
    if (iAvail < n)
        return false;
    iAvail -= n;
    return file.Read(p, n) == n;
}

bool MP3Header::Accept(const uint8_t* p)
{
    if (p[0] != 0xFF || p[1] <= 0xDF)
        return false;
    if (((p[1] >> 3) & 3) == 1) {
        LTrace("MP3Header::ReadHeader version 4???? so skip");
        return false;
    }
    if (((p[1] >> 1) & 3) != 1) {
        LTrace("MP3Header::ReadHeader not a true layer 3 file");
        return false;
    }
    int bitrateIndex = p[2] >> 4;
    if (bitrateIndex == 0 || bitrateIndex == 15) {
        LTrace("MP3Header::ReadHeader bitrate is free or forbidden");
        return false;
    }
    if (((p[2] >> 2) & 3) >= 3) {
        LTrace("MP3Header::ReadHeader sampling_frequency index >= 3 so assume invalid header and "
               "skip");
        return false;
    }
    MP3FrameParams fp;
    MP3ParseHeader(p, fp);
    iVersion = fp.iVersion;
    iProtection = fp.iProtection;
    iBitRate = fp.iBitRate;
    iSampleRateIndex = fp.iSampleRateIndex;
    iPadding = fp.iPadding;
    iMode = fp.iMode;
    iModeExt = fp.iModeExt;
    return true;
}

bool MP3Header::ReadHeader(LFile& file, int64_t& iBytesAvailable)
{
    uint8_t a[4];
    if (!ReadBytes(file, iBytesAvailable, a, 4)) {
        LTrace("MP3Header::ReadHeader failed because unable to read header");
        return false;
    }
    for (int attempt = 0; attempt < 16385; ++attempt) {
        if (Accept(a)) {
            uint8_t crc[2];
            if (iProtection == 0 && !ReadBytes(file, iBytesAvailable, crc, 2))
                return false;
            return true;
        }
        if (attempt == 16384)
            break;
        std::memmove(a, a + 1, 3);
        if (!ReadBytes(file, iBytesAvailable, a + 3, 1)) {
            LTrace("MP3Header::ReadHeader failed because unable to read header");
            return false;
        }
    }
    LTrace("MP3Header::ReadHeader failed because unable to find header after 16384 bytes");
    return false;
}

MP3FrameParams MP3Header::Params() const
{
    MP3FrameParams fp;
    fp.iVersion = iVersion;
    fp.iProtection = iProtection;
    fp.iBitRate = iBitRate;
    fp.iSampleRateIndex = iSampleRateIndex;
    fp.iPadding = iPadding;
    fp.iMode = iMode;
    fp.iModeExt = iModeExt;
    return fp;
}
