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
    int64_t iFrames = file.GetFileSizeBytes() / LGSMFrame::kBytes * LGSMFrame::kSamples;
    if (CheckLength(iFrames))
        iLength = int32_t(iFrames);
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

int32_t LGSMFileSource::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    const int32_t iEnd = std::clamp(iLength - GetPosition(), 0, iFrames);
    // What is left of the last decoded frame.
    int32_t iDone = std::min(iEnd, LGSMFrame::kSamples - iNext);
    std::memcpy(pBuffer, aBuffer + iNext, size_t(iDone) * sizeof(int32_t));
    iNext += iDone;
    // Whole frames straight into the output.
    while (iEnd - iDone >= LGSMFrame::kSamples) {
        DecodeNext(pBuffer + iDone);
        iDone += LGSMFrame::kSamples;
    }
    // A partial frame: decode into the buffer and keep the rest.
    if (iDone < iEnd) {
        DecodeNext(aBuffer);
        iNext = iEnd - iDone;
        std::memcpy(pBuffer + iDone, aBuffer, size_t(iNext) * sizeof(int32_t));
        iDone = iEnd;
    }
    return iDone;
}

void LGSMFileSource::Seek(int32_t iFrame)
{
    codec.ResetDecoder();
    iNext = LGSMFrame::kSamples;
    SetPosition(iFrame);
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
