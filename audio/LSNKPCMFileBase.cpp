#include "audio/LSNKPCMFileBase.h"
#include "audio/LSampleConvert.h"
#include "audio/LWaveHeader.h"
#include "platform/LTrace.h"

#include <algorithm>

LSNKPCMFileBase::LSNKPCMFileBase(const std::string& strPath, int32_t iRate, int iChannels,
                                 int iBytes, int32_t iStartFrame)
    : LSoundSinkBase(iRate, iChannels), iBytesPerSample(iBytes)
{
    iBytesPerFrame = GetChannels() * iBytesPerSample;
    if (!file.Open(strPath, LFile::Mode::ReadWrite)) {
        LTrace("LSNKPCMFileBase::LSNKPCMFileBase unable to open file:%s", strPath.c_str());
        SetError();
        return;
    }
    buffer.resize(size_t(iBytesPerFrame) * kBlockFrames);
    WriteHeader(0xFFFFFFFFu, 0xFFFFFFFFu);
    int64_t iOffset = kHeaderBytes;
    if (iStartFrame > 0) {
        iOffset = std::min<int64_t>(kHeaderBytes + int64_t(iStartFrame) * iBytesPerFrame,
                                    std::max<int64_t>(kHeaderBytes, file.GetFileSizeBytes()));
        SetFramesWritten(int32_t((iOffset - kHeaderBytes) / iBytesPerFrame));
        iOffset = kHeaderBytes + int64_t(GetFramesWritten()) * iBytesPerFrame;
    }
    file.Seek(iOffset);
    file.Truncate();
}

LSNKPCMFileBase::~LSNKPCMFileBase()
{
    if (!file.IsOpen())
        return;
    uint32_t uData = uint32_t(int64_t(GetFramesWritten()) * iBytesPerFrame);
    WriteHeader(uData, uData + 38);
}

void LSNKPCMFileBase::WriteHeader(uint32_t uDataBytes, uint32_t uRiffBytes)
{
    LWaveHeader header;
    header.wFormatTag = 1;
    header.nChannels = uint16_t(GetChannels());
    header.nSamplesPerSec = uint32_t(GetSampleRate());
    header.nBlockAlign = uint16_t(iBytesPerFrame);
    header.nAvgBytesPerSec = uint32_t(iBytesPerFrame) * uint32_t(GetSampleRate());
    header.wBitsPerSample = uint16_t(iBytesPerSample * 8);
    std::vector<uint8_t> bytes = header.Build(uRiffBytes, uDataBytes);
    file.WriteAt(bytes.data(), int64_t(bytes.size()), 0);
}

void LSNKPCMFileBase::Write(const int32_t* pBuffer, int32_t iFrames)
{
    LSoundSinkBase::Write(pBuffer, iFrames);
    if (IsError() || iFrames <= 0)
        return;
    size_t nSamples = size_t(iFrames) * size_t(GetChannels());
    Convert(pBuffer, buffer.data(), nSamples);
    file.Write(buffer.data(), int64_t(iFrames) * iBytesPerFrame);
}

void LSNKPCMFileBase::Seek(int32_t iFrame)
{
    if (IsError() || iFrame > GetFramesWritten())
        return;
    SetFramesWritten(std::max(iFrame, 0));
    file.Seek(kHeaderBytes + int64_t(GetFramesWritten()) * iBytesPerFrame);
    file.Truncate();
}

LSNKPCMFile8::LSNKPCMFile8(const std::string& strPath, int32_t iRate, int iChannels,
                           int32_t iStartFrame)
    : LSNKPCMFileBase(strPath, iRate, iChannels, 1, iStartFrame)
{
}

void LSNKPCMFile8::Convert(const int32_t* pSrc, uint8_t* pDst, size_t nSamples)
{
    LSampleConvert::InternalToPcm8(pSrc, pDst, nSamples);
}

LSNKPCMFile16::LSNKPCMFile16(const std::string& strPath, int32_t iRate, int iChannels,
                             int32_t iStartFrame)
    : LSNKPCMFileBase(strPath, iRate, iChannels, 2, iStartFrame)
{
}

void LSNKPCMFile16::Convert(const int32_t* pSrc, uint8_t* pDst, size_t nSamples)
{
    LSampleConvert::InternalToPcm16(pSrc, pDst, nSamples);
}
