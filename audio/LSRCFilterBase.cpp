#include "audio/LSRCFilterBase.h"

#include "audio/LSRCNull.h"

namespace {
SourceHandle NonEmpty(SourceHandle h)
{
    return h ? h : SourceHandle(MakeHandle<LSRCNull>());
}
} // namespace

LSRCFilterBase::LSRCFilterBase(SourceHandle hUpstream)
    : LSoundSourceBase(NonEmpty(hUpstream)->GetSampleRate(), NonEmpty(hUpstream)->GetChannels(),
        NonEmpty(hUpstream)->GetPeak())
    , hSource(NonEmpty(std::move(hUpstream)))
{
    if (hSource->IsError())
        SetError();
}
