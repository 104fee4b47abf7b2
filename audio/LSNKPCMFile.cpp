#include "audio/LSNKPCMFile.h"

#include "audio/LWaveHeader.h"

namespace {
constexpr LRawFileDataSoundSinkBase::Options kWavOptions { true, true };
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
    std::vector<uint8_t> bytes = bFinal ? header.Build(sink.GetDataBytes(), sink.GetFramesWritten())
                                        : header.Build(LWaveHeader::kOpen, 0);
    sink.GetFile().Write(bytes.data(), int64_t(bytes.size()));
    return int(bytes.size());
}

LSNKPCMFile8::LSNKPCMFile8(
    const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame)
    : LRawFileDataSoundSink(strPath, iRate, iChannels, iStartFrame, WriteHeaderWAV, kWavOptions)
{
}

LSNKPCMFile16::LSNKPCMFile16(
    const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame)
    : LRawFileDataSoundSink(strPath, iRate, iChannels, iStartFrame, WriteHeaderWAV, kWavOptions)
{
}
