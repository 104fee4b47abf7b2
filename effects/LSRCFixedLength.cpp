#include "effects/LSRCFixedLength.h"

#include <algorithm>

LSRCFixedLength::LSRCFixedLength(SourceHandle hUpstream, int32_t iLen)
    : LSRCFilterBase(std::move(hUpstream))
    , iLength(std::max(iLen, 0))
{
}

int32_t LSRCFixedLength::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    hSource->Read(pBuffer, iFrames);
    iPosition = int32_t(uint32_t(iPosition) + uint32_t(iFrames));
    return iFrames;
}

void LSRCFixedLength::Seek(int32_t iFrame)
{
    int64_t iUp = iLength > 0 ? int64_t(iFrame) * hSource->GetLength() / iLength : iFrame;
    hSource->Seek(int32_t(std::clamp<int64_t>(iUp, INT32_MIN, INT32_MAX)));
    iPosition = iFrame;
}
