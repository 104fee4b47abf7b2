#include "audio/LSRCPCMFileBase.h"
#include "audio/LSampleConvert.h"

#include <algorithm>
#include <cstring>

LSRCPCMFileBase::LSRCPCMFileBase(LFile&& f, int32_t iRate, int iChannels, uint32_t uPeak,
                                 int iBytesPerSample, int64_t iDataBytes)
    : LSoundSourceBase(iRate, iChannels, uPeak), file(std::move(f))
{
    iBytesPerFrame = GetChannels() * iBytesPerSample;
    if (iBytesPerFrame <= 0) {
        SetError();
        iBytesPerFrame = 2;
    }
    iDataStart = file.Tell();
    if (iDataStart < 0)
        iDataStart = 0;
    // A header may claim more data than the file holds (a truncated copy or
    // a crashed recording): the length is what is really there.
    bFollowFile = iDataBytes == kFollowFile;
    int32_t iAvailable = FramesAvailable();
    iLength = iDataBytes < 0 || iDataBytes == kToEnd
                  ? iAvailable
                  : int32_t(std::min<int64_t>(iDataBytes / iBytesPerFrame, iAvailable));
    buffer.resize(size_t(iBytesPerFrame) * kBlockFrames);
}

int32_t LSRCPCMFileBase::FramesAvailable() const
{
    int64_t iBytes = std::max<int64_t>(0, file.GetFileSizeBytes() - iDataStart);
    return int32_t(std::min<int64_t>(iBytes / iBytesPerFrame, INT32_MAX));
}

int32_t LSRCPCMFileBase::GetLength()
{
    if (bFollowFile)
        iLength = FramesAvailable();
    return iLength;
}

void LSRCPCMFileBase::Read(int32_t* pBuffer, int32_t iFrames)
{
    int iCh = GetChannels();
    int32_t iStart = iPosition;
    iPosition = int32_t(uint32_t(iPosition) + uint32_t(iFrames));
    int32_t iLead = 0;
    if (iStart < 0)
        iLead = std::min(iFrames, -iStart);
    std::memset(pBuffer, 0, size_t(iLead) * size_t(iCh) * sizeof(int32_t));
    int32_t iFrom = iStart + iLead;
    int32_t iWanted = iFrames - iLead;
    int32_t iToRead = std::clamp(GetLength() - iFrom, 0, iWanted);
    int32_t iGot = 0;
    if (iToRead > 0) {
        int64_t iBytes = file.Read(buffer.data(), int64_t(iToRead) * iBytesPerFrame);
        iGot = int32_t(iBytes / iBytesPerFrame);
        Convert(buffer.data(), pBuffer + size_t(iLead) * size_t(iCh), size_t(iGot) * size_t(iCh));
    }
    std::memset(pBuffer + size_t(iLead + iGot) * size_t(iCh), 0,
                size_t(iWanted - iGot) * size_t(iCh) * sizeof(int32_t));
}

void LSRCPCMFileBase::Seek(int32_t iFrame)
{
    iPosition = iFrame;
    int32_t iAt = iFrame <= 0 ? 0 : std::min(iFrame, GetLength());
    file.Seek(iDataStart + int64_t(iAt) * iBytesPerFrame);
}

