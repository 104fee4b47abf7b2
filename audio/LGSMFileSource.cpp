#include "audio/LGSMFileSource.h"

#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

LGSMFileSource::LGSMFileSource(const std::string& strPath)
    : LSoundSourceBase(8000, 1, kPeak)
{
    if (!file.Open(strPath, LFile::Mode::Read)) {
        LTrace("LGSMFileSource::LGSMFileSource Unable to open file:%s", strPath.c_str());
        SetError();
        return;
    }
    // Lengths are 32-bit frame counts: a larger file reads its first part.
    int64_t iFrames = std::min<int64_t>(
        file.GetFileSizeBytes() / LGSMFrame::kBytes, INT32_MAX / LGSMFrame::kSamples);
    iLength = int32_t(iFrames * LGSMFrame::kSamples);
}

void LGSMFileSource::DecodeNext(int32_t* pOut)
{
    uint8_t frame[LGSMFrame::kBytes];
    if (file.Read(frame, sizeof frame) != int64_t(sizeof frame)) {
        std::memset(pOut, 0, LGSMFrame::kSamples * sizeof(int32_t));
        return;
    }
    codec.DecodeNormal(frame, pOut);
}

void LGSMFileSource::Read(int32_t* pBuffer, int32_t iFrames)
{
    if (iFrames <= 0)
        return;
    int64_t iStart = iPosition;
    iPosition = int32_t(std::min<int64_t>(iStart + iFrames, INT32_MAX));
    int32_t iDone = 0;
    // Before frame 0: silence.
    if (iStart < 0) {
        iDone = int32_t(std::min<int64_t>(iFrames, -iStart));
        std::memset(pBuffer, 0, size_t(iDone) * sizeof(int32_t));
    }
    int64_t iAt = iStart + iDone;
    int32_t iWant = IsError() ? 0 : int32_t(std::clamp<int64_t>(iLength - iAt, 0, iFrames - iDone));
    int32_t iEnd = iDone + iWant;
    // What is left of the last decoded frame.
    int32_t n = std::min(iWant, LGSMFrame::kSamples - iNext);
    std::memcpy(pBuffer + iDone, aBuffer + iNext, size_t(n) * sizeof(int32_t));
    iNext += n;
    iDone += n;
    // Whole frames straight into the output.
    while (iEnd - iDone >= LGSMFrame::kSamples) {
        DecodeNext(pBuffer + iDone);
        iDone += LGSMFrame::kSamples;
    }
    // A partial frame: decode into the buffer and keep the rest.
    if (iDone < iEnd) {
        DecodeNext(aBuffer);
        n = iEnd - iDone;
        std::memcpy(pBuffer + iDone, aBuffer, size_t(n) * sizeof(int32_t));
        iNext = n;
        iDone = iEnd;
    }
    std::memset(pBuffer + iDone, 0, size_t(iFrames - iDone) * sizeof(int32_t));
}

void LGSMFileSource::Seek(int32_t iFrame)
{
    codec.ResetDecoder();
    iNext = LGSMFrame::kSamples;
    iPosition = iFrame;
    if (IsError())
        return;
    if (iFrame <= 0) {
        file.Seek(0);
    } else if (iFrame <= iLength) {
        file.Seek(int64_t(iFrame / LGSMFrame::kSamples) * LGSMFrame::kBytes);
        DecodeNext(aBuffer);
        iNext = iFrame % LGSMFrame::kSamples;
    } else {
        file.Seek(int64_t(iLength / LGSMFrame::kSamples) * LGSMFrame::kBytes);
    }
}
