#include "audio/LSNKPCMFile.h"
#include "audio/LWaveHeader.h"

namespace {
constexpr LRawFileDataSoundSinkBase::Options kWavOptions{true, true};
}

int WriteHeaderWAV(LRawFileDataSoundSinkBase& sink, bool bFinal)
{
    LWaveHeader header;
    header.wFormatTag = 1;
    header.nChannels = uint16_t(sink.GetChannels());
    header.nSamplesPerSec = uint32_t(sink.GetSampleRate());
    header.nBlockAlign = uint16_t(sink.GetBytesPerFrame());
    header.nAvgBytesPerSec = uint32_t(sink.GetBytesPerFrame()) * uint32_t(sink.GetSampleRate());
    header.wBitsPerSample = uint16_t(sink.GetBytesPerSample() * 8);
    uint32_t uData = bFinal ? sink.GetDataBytes() : 0xFFFFFFFFu;
    uint32_t uRiff = bFinal ? uData + 38 : 0xFFFFFFFFu;
    std::vector<uint8_t> bytes = header.Build(uRiff, uData);
    sink.GetFile().Write(bytes.data(), int64_t(bytes.size()));
    return int(bytes.size());
}

LSNKPCMFile8::LSNKPCMFile8(const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame)
    : LRawFileDataSoundSink(strPath, iRate, iChannels, iStartFrame, WriteHeaderWAV, kWavOptions)
{
}

LSNKPCMFile16::LSNKPCMFile16(const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame)
    : LRawFileDataSoundSink(strPath, iRate, iChannels, iStartFrame, WriteHeaderWAV, kWavOptions)
{
}
