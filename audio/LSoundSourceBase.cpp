#include "audio/LSoundSourceBase.h"

LSoundSourceBase::LSoundSourceBase(int32_t iRate, int iChannels, uint32_t uPeakBound)
    : iSampleRate(44100), uPeak(uPeakBound), bChannels(1)
{
    SetSampleRate(iRate);
    SetChannels(iChannels);
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
