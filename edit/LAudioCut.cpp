#include "edit/LAudioCut.h"

#include "edit/LAudioCutTank.h"

#include <utility>

LAudioCut::LAudioCut(uint16_t w, int32_t iLen, int32_t iG, int32_t iOff)
    : wCut(w)
    , iLength(iLen)
    , iGain(iG)
    , iOffset(iOff)
{
    LAudioCutTank::Get().IncRef(wCut);
}

LAudioCut::LAudioCut(const LAudioCut& o)
    : LAudioCut(o.wCut, o.iLength, o.iGain, o.iOffset)
{
}

LAudioCut::LAudioCut(LAudioCut&& o) noexcept
    : wCut(std::exchange(o.wCut, LAudioCutTank::kSilentCut))
    , iLength(o.iLength)
    , iGain(o.iGain)
    , iOffset(o.iOffset)
{
}

LAudioCut& LAudioCut::operator=(const LAudioCut& o)
{
    if (this != &o) {
        LAudioCutTank::Get().IncRef(o.wCut);
        LAudioCutTank::Get().DecRef(wCut);
        wCut = o.wCut;
        iLength = o.iLength;
        iGain = o.iGain;
        iOffset = o.iOffset;
    }
    return *this;
}

LAudioCut& LAudioCut::operator=(LAudioCut&& o) noexcept
{
    if (this != &o) {
        LAudioCutTank::Get().DecRef(wCut);
        wCut = std::exchange(o.wCut, LAudioCutTank::kSilentCut);
        iLength = o.iLength;
        iGain = o.iGain;
        iOffset = o.iOffset;
    }
    return *this;
}

LAudioCut::~LAudioCut()
{
    LAudioCutTank::Get().DecRef(wCut);
}

LAudioCut LAudioCut::Silence(int32_t iLength)
{
    return LAudioCut(LAudioCutTank::kSilentCut, iLength, kUnityGain, 0);
}

bool LAudioCut::IsSilent() const
{
    return wCut == LAudioCutTank::kSilentCut;
}
