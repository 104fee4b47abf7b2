#include "audio/LSRCPCMFileBase.h"

#include "audio/LSampleConvert.h"

#include <algorithm>

LSRCPCMFileBase::LSRCPCMFileBase(LFile&& f, int32_t iRate, int iChannels, uint32_t uPeak,
    int iBytesPerSample, int64_t iDataBytes)
    : LSoundSourceBase(iRate, iChannels, uPeak)
    , file(std::move(f))
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
    int64_t iAvailable = FramesAvailable();
    int64_t iFrames = iDataBytes < 0 || iDataBytes == kToEnd
        ? iAvailable
        : std::min<int64_t>(iDataBytes / iBytesPerFrame, iAvailable);
    if (!CheckLength(iFrames))
        return;
    iLength = int32_t(iFrames);
    buffer.resize(size_t(iBytesPerFrame) * kBlockFrames);
}

int64_t LSRCPCMFileBase::FramesAvailable() const
{
    return std::max<int64_t>(0, file.GetFileSizeBytes() - iDataStart) / iBytesPerFrame;
}

int32_t LSRCPCMFileBase::GetLength()
{
    // Headerless data that grows while it is read stops at what the engine counts.
    if (bFollowFile && !IsError())
        iLength = int32_t(std::min(FramesAvailable(), kMaxFrames));
    return iLength;
}

int32_t LSRCPCMFileBase::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    int32_t iToRead = std::clamp(GetLength() - GetPosition(), 0, iFrames);
    int64_t iBytes = iToRead > 0 ? file.Read(buffer.data(), int64_t(iToRead) * iBytesPerFrame) : 0;
    int32_t iGot = int32_t(iBytes / iBytesPerFrame);
    Convert(buffer.data(), pBuffer, size_t(iGot) * size_t(GetChannels()));
    return iGot;
}

void LSRCPCMFileBase::Seek(int32_t iFrame)
{
    SetPosition(iFrame);
    int32_t iAt = iFrame <= 0 ? 0 : std::min(iFrame, GetLength());
    file.Seek(iDataStart + int64_t(iAt) * iBytesPerFrame);
}
