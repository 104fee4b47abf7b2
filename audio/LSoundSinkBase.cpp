#include "audio/LSoundSinkBase.h"

LSoundSinkBase::LSoundSinkBase(int32_t iRate, int iChannels)
    : iSampleRate(iRate)
    , bChannels(1)
{
    if (iChannels < 1 || iChannels > 255)
        SetError();
    else
        bChannels = uint8_t(iChannels);
}
