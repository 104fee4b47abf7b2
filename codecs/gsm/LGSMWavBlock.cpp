#include "codecs/gsm/LGSMWavBlock.h"

void LGSMWavBlock::Pack(const LGSMParams& first, const LGSMParams& second, uint8_t* pOut)
{
    first.PackLsb(pOut, 0);
    second.PackLsb(pOut, LGSMParams::kBits);
}

void LGSMWavBlock::Unpack(const uint8_t* pIn, LGSMParams& first, LGSMParams& second)
{
    first.UnpackLsb(pIn, 0);
    second.UnpackLsb(pIn, LGSMParams::kBits);
}

void LGSMWavBlock::Encode(const int16_t* pIn, uint8_t* pOut)
{
    LGSMParams a;
    LGSMParams b;
    frame.EncodeStandard(pIn, a);
    frame.EncodeStandard(pIn + LGSMFrame::kSamples, b);
    Pack(a, b, pOut);
}

void LGSMWavBlock::Decode(const uint8_t* pIn, int16_t* pOut)
{
    LGSMParams a;
    LGSMParams b;
    Unpack(pIn, a, b);
    frame.DecodeStandard(a, pOut);
    frame.DecodeStandard(b, pOut + LGSMFrame::kSamples);
}
