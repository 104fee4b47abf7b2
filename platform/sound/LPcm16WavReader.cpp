#include "platform/sound/LPcm16WavReader.h"

#include "platform/LTrace.h"
#include "platform/acm/LWaveFormat.h"

#include <algorithm>
#include <cstring>

namespace {
uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
} // namespace

bool LPcm16WavReader::Open(const std::string& strPath)
{
    uint8_t riff[12];
    if (!file.Open(strPath, LFile::Mode::Read) || file.Read(riff, 12) != 12
        || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        LTrace("LPcm16WavReader::Open '%s' is not a WAV file", strPath.c_str());
        return false;
    }
    bool bFormat = false;
    uint8_t chunk[8];
    while (file.Read(chunk, 8) == 8) {
        uint32_t uSize = Get32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && uSize >= 16) {
            WAVEFORMATEX wfx {};
            if (file.Read(&wfx, 16) != 16 || !file.Skip(int64_t(uSize) - 16 + (uSize & 1)))
                return false;
            bFormat = wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16
                && wfx.nChannels > 0;
            uRate = wfx.nSamplesPerSec;
            nChannels = wfx.nChannels;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!bFormat)
                break;
            uBytesLeft = uSize - uSize % (2u * nChannels);
            return true;
        } else if (!file.Skip(int64_t(uSize) + (uSize & 1))) {
            break;
        }
    }
    LTrace("LPcm16WavReader::Open '%s' has no 16-bit PCM data", strPath.c_str());
    file.Close();
    return false;
}

uint32_t LPcm16WavReader::Read(int16_t* pFrames, uint32_t nFrames)
{
    uint32_t uFrameBytes = 2u * nChannels;
    uint32_t uWant = std::min<uint64_t>(uint64_t(nFrames) * uFrameBytes, uBytesLeft);
    int64_t iGot = file.Read(pFrames, uWant);
    uint32_t nGot = uint32_t(iGot) / uFrameBytes;
    uBytesLeft = iGot == uWant ? uBytesLeft - uWant : 0;
    return nGot;
}
