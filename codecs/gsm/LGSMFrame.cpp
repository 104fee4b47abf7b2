#include "codecs/gsm/LGSMFrame.h"

#include "codecs/gsm/LGSMMath.h"

using M = LGSMMath;

void LGSMFrame::Reset()
{
    ResetEncoder();
    ResetDecoder();
}

void LGSMFrame::ResetEncoder()
{
    enc.Reset();
    iHpAcc = 0;
    iPrevIn = 0;
    iPrevHp = 0;
    z1 = 0;
    L_z2 = 0;
    mp = 0;
}

void LGSMFrame::ResetDecoder()
{
    dec.Reset();
    iPrevOut = 0;
    msr = 0;
}

void LGSMFrame::EncodeNormal(const int32_t* pIn, uint8_t* pOut)
{
    int16_t s[kSamples];
    for (int k = 0; k < kSamples; ++k) {
        int32_t x = pIn[k];
        iHpAcc += (int64_t(x) - iPrevIn) * 1024;
        iPrevIn = x;
        int64_t y = (iHpAcc + 512) >> 10;
        iHpAcc -= y;
        int64_t v = (y + 16 - ((int64_t(iPrevHp) * 880 + 512) >> 10)) >> 5;
        iPrevHp = int32_t(y < INT32_MIN ? INT32_MIN : (y > INT32_MAX ? INT32_MAX : y));
        // Inputs far beyond full scale saturate instead of wrapping.
        s[k] = int16_t(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
    }
    LGSMParams params;
    enc.Encode(s, params);
    params.Pack(pOut);
}

void LGSMFrame::DecodeNormal(const uint8_t* pIn, int32_t* pOut)
{
    LGSMParams params;
    params.Unpack(pIn);
    int16_t sr[kSamples];
    dec.Decode(params, sr);
    int32_t y = iPrevOut;
    for (int k = 0; k < kSamples; ++k) {
        // |y| stays below 32768 * 32 / (1 - 880/1024), well inside 32 bits.
        y = int32_t(sr[k]) * 32 + int32_t((int64_t(y) * 880 + 512) >> 10);
        // The filter runs unclipped; what leaves it is kept within the
        // reader's peak bound.
        pOut[k] = y > kNormalPeak ? kNormalPeak : (y < -kNormalPeak ? -kNormalPeak : y);
    }
    iPrevOut = y;
}

void LGSMFrame::EncodeStandard(const int16_t* pIn, LGSMParams& params)
{
    int16_t s[kSamples];
    for (int k = 0; k < kSamples; ++k) {
        // Downscaling to 13 bits, times 4.
        int16_t so = int16_t((pIn[k] >> 3) * 4);
        // Offset compensation: high-pass with a double-precision memory.
        int16_t s1 = M::Sub(so, z1);
        z1 = so;
        int32_t L_s2 = int32_t(s1) << 15;
        int16_t msp = int16_t(L_z2 >> 15);
        int16_t lsp = int16_t(M::LSub(L_z2, int32_t(msp) << 15));
        L_s2 = M::LAdd(L_s2, M::MultR(lsp, 32735));
        L_z2 = M::LAdd(M::LMult(msp, 32735) >> 1, L_s2);
        int16_t sof = int16_t(M::LAdd(L_z2, 16384) >> 15);
        // Pre-emphasis.
        s[k] = M::Add(sof, M::MultR(mp, -28180));
        mp = sof;
    }
    enc.Encode(s, params);
}

void LGSMFrame::DecodeStandard(const LGSMParams& params, int16_t* pOut)
{
    int16_t sr[kSamples];
    dec.Decode(params, sr);
    for (int k = 0; k < kSamples; ++k) {
        // De-emphasis, upscaling, truncation to 13 bits.
        msr = M::Add(sr[k], M::MultR(msr, 28180));
        pOut[k] = int16_t(M::Add(msr, msr) & ~7);
    }
}

void LGSMFrame::EncodeStandard(const int16_t* pIn, uint8_t* pOut)
{
    LGSMParams params;
    EncodeStandard(pIn, params);
    params.Pack(pOut);
}

void LGSMFrame::DecodeStandard(const uint8_t* pIn, int16_t* pOut)
{
    LGSMParams params;
    params.Unpack(pIn);
    DecodeStandard(params, pOut);
}
