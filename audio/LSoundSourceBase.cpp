#include "audio/LSoundSourceBase.h"

#include "audio/LSoundTime.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

LSoundSourceBase::LSoundSourceBase(int32_t iRate, int iChannels, uint32_t uPeakBound)
    : iSampleRate(44100)
    , uPeak(uPeakBound)
    , bChannels(1)
{
    SetSampleRate(iRate);
    SetChannels(iChannels);
}

void LSoundSourceBase::Read(int32_t* pBuffer, int32_t iFrames)
{
    if (iFrames <= 0)
        return;
    const size_t uCh = bChannels;
    // Only readers move iPosition below 0 (by Seek), so a processor, whose
    // upstream applies this rule already, is always asked for everything.
    const int64_t iStart = iPosition;
    const int32_t iLead = int32_t(std::clamp<int64_t>(-iStart, 0, iFrames));
    std::memset(pBuffer, 0, size_t(iLead) * uCh * sizeof(int32_t));
    int32_t iGot = 0;
    if (iLead < iFrames && !IsError()) {
        iPosition = int32_t(iStart + iLead);
        iGot = std::clamp(
            ReadAudio(pBuffer + size_t(iLead) * uCh, iFrames - iLead), 0, iFrames - iLead);
    }
    std::memset(pBuffer + size_t(iLead + iGot) * uCh, 0,
        size_t(iFrames - iLead - iGot) * uCh * sizeof(int32_t));
    iPosition = int32_t(std::min<int64_t>(iStart + iFrames, INT32_MAX));
}

bool LSoundSourceBase::CheckLength(int64_t iFrames)
{
    if (iFrames <= kMaxFrames)
        return true;
    iTooLong = iFrames;
    SetError();
    return false;
}

std::string LSoundSourceBase::GetTooLongText() const
{
    if (iTooLong == 0)
        return "";
    LSoundTime length(int32_t(std::min<int64_t>(
        iTooLong / iSampleRate * 1000 + iTooLong % iSampleRate * 1000 / iSampleRate, INT32_MAX)));
    // Tenths of hours, rounded down so the limit is never overstated.
    int64_t iTenths = kMaxFrames * 10 / (int64_t(iSampleRate) * 3600);
    char sz[160];
    std::snprintf(sz, sizeof sz,
        "it lasts %s, longer than the %lld.%lld hours Orvenna can edit at %d Hz",
        length.GetHundredthsText().c_str(), (long long)(iTenths / 10), (long long)(iTenths % 10),
        int(iSampleRate));
    return sz;
}

void LSoundSourceBase::SetSampleRate(int32_t iRate)
{
    if (iRate < 1) {
        iSampleRate = 44100;
        SetError();
    } else {
        iSampleRate = iRate;
    }
}

void LSoundSourceBase::SetChannels(int iChannels)
{
    if (iChannels < 1 || iChannels > 255) {
        bChannels = 1;
        SetError();
    } else {
        bChannels = uint8_t(iChannels);
    }
}
