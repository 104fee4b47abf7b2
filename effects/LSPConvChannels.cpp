#include "effects/LSPConvChannels.h"

#include "platform/LTrace.h"

LSPConvChannels::LSPConvChannels(SourceHandle hUpstream, int iTarget)
    : LSRCFilterBase(std::move(hUpstream))
{
    iFromChannels = GetChannels();
    SetChannels(iTarget);
    buffer.resize(size_t(iFromChannels) * kBlockFrames);
}

SourceHandle LSPConvChannels::OpenSource(SourceHandle hUpstream, int iTarget)
{
    if (!hUpstream || hUpstream->IsError())
        return hUpstream;
    int iFrom = hUpstream->GetChannels();
    if (iFrom == iTarget)
        return hUpstream;
    if (!((iFrom == 1 && iTarget == 2) || (iFrom == 2 && iTarget == 1))) {
        LTrace(
            "LSPConvChannels::OpenSource Multichannels (or 0) used when BUILD_SUPPORT_MULTICHANS "
            "is not set");
        return hUpstream;
    }
    return MakeHandle<LSPConvChannels>(std::move(hUpstream), iTarget);
}

int32_t LSPConvChannels::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    hSource->Read(buffer.data(), iFrames);
    const int32_t* p = buffer.data();
    const size_t n = size_t(iFrames);
    if (iFromChannels == 2) {
        for (size_t i = 0; i < n; ++i)
            pBuffer[i] = p[2 * i];
    } else {
        for (size_t i = 0; i < n; ++i)
            pBuffer[2 * i] = pBuffer[2 * i + 1] = p[i];
    }
    return iFrames;
}
