#include "codecs/mp3/MP3Header.h"

const int kMP3BitRates[2][15] = {
    { 0, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000,
        256000, 320000 },
    { 0, 8000, 16000, 24000, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000,
        144000, 160000 },
};

static const int kBaseRates[3] = { 44100, 48000, 32000 };

int MP3Header::SampleRate() const
{
    return kBaseRates[iSampleRateIndex % 3] >> iVersion;
}

int MP3Header::FrameBytes() const
{
    int factor = iVersion == 0 ? 144 : 72;
    return int(int64_t(factor) * iBitRate / SampleRate()) + iPadding;
}

int MP3Header::SideInfoBytes() const
{
    if (iVersion == 0)
        return Channels() == 1 ? 17 : 32;
    return Channels() == 1 ? 9 : 17;
}

// No sync: an empty text, so that a search does not trace every byte.
const char* MP3Header::Refusal(const uint8_t* p)
{
    if (p[0] != 0xFF || p[1] <= 0xDF)
        return "";
    if (((p[1] >> 3) & 3) == 1)
        return "MP3Header::ReadHeader version 4???? so skip";
    if (((p[1] >> 1) & 3) != 1)
        return "MP3Header::ReadHeader not a true layer 3 file";
    int bitrateIndex = p[2] >> 4;
    if (bitrateIndex == 0 || bitrateIndex == 15)
        return "MP3Header::ReadHeader bitrate is free or forbidden";
    if (((p[2] >> 2) & 3) >= 3)
        return "MP3Header::ReadHeader sampling_frequency index >= 3 so assume invalid header and "
               "skip";
    return nullptr;
}

bool MP3Header::Parse(const uint8_t* p)
{
    if (Refusal(p))
        return false;
    int versionBits = (p[1] >> 3) & 3;
    iVersion = versionBits == 3 ? 0 : (versionBits == 2 ? 1 : 2);
    iProtection = p[1] & 1;
    iBitRate = kMP3BitRates[iVersion == 0 ? 0 : 1][p[2] >> 4];
    iSampleRateIndex = (p[2] >> 2) & 3;
    iPadding = (p[2] >> 1) & 1;
    iMode = p[3] >> 6;
    iModeExt = (p[3] >> 4) & 3;
    return true;
}
