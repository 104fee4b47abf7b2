#include "effects/LSRCSimpleSpeed.h"

#include "audio/LSRCNull.h"
#include "effects/LSRCConvertRate.h"

#include <algorithm>

int32_t LSRCSimpleSpeed::ConvertedRate(int32_t iRate, double dFactor)
{
    return int32_t(std::min(double(iRate) / std::max(dFactor, 0.1), 2147483647.0));
}

LSRCSimpleSpeed::LSRCSimpleSpeed(SourceHandle hConverted, int32_t iRate)
    : LSRCFilterBase(std::move(hConverted))
{
    SetSampleRate(iRate);
}

SourceHandle LSRCSimpleSpeed::OpenSource(SourceHandle hUpstream, double dFactor)
{
    if (!hUpstream)
        hUpstream = MakeHandle<LSRCNull>();
    int32_t iRate = hUpstream->GetSampleRate();
    SourceHandle hConverted = LSRCConvertRate::OpenSource(hUpstream, ConvertedRate(iRate, dFactor));
    return MakeHandle<LSRCSimpleSpeed>(std::move(hConverted), iRate);
}
