#include "platform/sound/LPcm16WavWriter.h"

#include "platform/LTrace.h"
#include "platform/acm/LWaveFormat.h"

#include <cstring>

namespace {
void Put32(uint8_t* p, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(x >> (8 * i));
}
} // namespace

bool LPcm16WavWriter::Open(const std::string& strPath, uint32_t uRate, uint16_t nChannelsIn)
{
    if (!file.Open(strPath, LFile::Mode::CreateWrite)) {
        LTrace("LPcm16WavWriter::Open cannot create '%s'", strPath.c_str());
        return false;
    }
    nChannels = nChannelsIn;
    uDataBytes = 0;
    uint8_t header[44] = {};
    std::memcpy(header, "RIFF", 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 16);
    LWaveFormat fmt = LWaveFormat::Pcm(nChannels, uRate, 16);
    std::memcpy(header + 20, &fmt.wfx, 16);
    std::memcpy(header + 36, "data", 4);
    return file.Write(header, sizeof header) == sizeof header;
}

void LPcm16WavWriter::Write(const int16_t* pFrames, uint32_t nFrames)
{
    if (!file.IsOpen())
        return;
    int64_t iBytes = int64_t(nFrames) * nChannels * 2;
    if (file.Write(pFrames, iBytes) == iBytes)
        uDataBytes += uint32_t(iBytes);
}

void LPcm16WavWriter::Close()
{
    if (!file.IsOpen())
        return;
    uint8_t size[4];
    Put32(size, 36 + uDataBytes);
    file.WriteAt(size, 4, 4);
    Put32(size, uDataBytes);
    file.WriteAt(size, 4, 40);
    file.Close();
}
