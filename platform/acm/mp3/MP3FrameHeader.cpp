#include "platform/acm/mp3/MP3FrameHeader.h"

const int kMP3BitRates[2][15] = {
    { 0, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000,
        256000, 320000 },
    { 0, 8000, 16000, 24000, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000,
        144000, 160000 },
};

static const int kBaseRates[3] = { 44100, 48000, 32000 };

int MP3FrameParams::SampleRate() const
{
    return kBaseRates[iSampleRateIndex % 3] >> iVersion;
}

int MP3FrameParams::FrameBytes() const
{
    int factor = iVersion == 0 ? 144 : 72;
    return int(int64_t(factor) * iBitRate / SampleRate()) + iPadding;
}

int MP3FrameParams::SideInfoBytes() const
{
    if (iVersion == 0)
        return Channels() == 1 ? 17 : 32;
    return Channels() == 1 ? 9 : 17;
}

bool MP3ParseHeader(const uint8_t* p, MP3FrameParams& params)
{
    if (p[0] != 0xFF || p[1] <= 0xDF)
        return false;
    int versionBits = (p[1] >> 3) & 3;
    if (versionBits == 1 || ((p[1] >> 1) & 3) != 1)
        return false;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    params.iVersion = versionBits == 3 ? 0 : (versionBits == 2 ? 1 : 2);
    params.iProtection = p[1] & 1;
    params.iBitRate = kMP3BitRates[params.iVersion == 0 ? 0 : 1][bitrateIndex];
    params.iSampleRateIndex = rateIndex;
    params.iPadding = (p[2] >> 1) & 1;
    params.iMode = p[3] >> 6;
    params.iModeExt = (p[3] >> 4) & 3;
    return true;
}
