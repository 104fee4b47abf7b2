#include "codecs/gsm/LGSMParams.h"

const uint8_t LGSMParams::kLarBits[8] = { 6, 6, 5, 5, 4, 4, 3, 3 };

namespace {

// Visits every field in transmission order with its width; F(int16_t&, int).
template <class P, class F> void ForEachField(P& p, F&& f)
{
    for (int i = 0; i < 8; ++i)
        f(p.LARc[i], LGSMParams::kLarBits[i]);
    for (int j = 0; j < 4; ++j) {
        f(p.Nc[j], 7);
        f(p.bc[j], 2);
        f(p.Mc[j], 2);
        f(p.xmaxc[j], 6);
        for (int i = 0; i < 13; ++i)
            f(p.xMc[j][i], 3);
    }
}

} // namespace

void LGSMParams::Pack(uint8_t* pOut) const
{
    uint32_t uAcc = 0xD; // signature nibble
    int iBits = 4;
    int iByte = 0;
    ForEachField(*this, [&](const int16_t& v, int iWidth) {
        uAcc = (uAcc << iWidth) | (uint32_t(v) & ((1u << iWidth) - 1));
        iBits += iWidth;
        while (iBits >= 8) {
            iBits -= 8;
            pOut[iByte++] = uint8_t(uAcc >> iBits);
        }
    });
}

void LGSMParams::Unpack(const uint8_t* pIn)
{
    uint32_t uAcc = pIn[0] & 0x0F;
    int iBits = 4;
    int iByte = 1;
    ForEachField(*this, [&](int16_t& v, int iWidth) {
        while (iBits < iWidth) {
            uAcc = (uAcc << 8) | pIn[iByte++];
            iBits += 8;
        }
        iBits -= iWidth;
        v = int16_t((uAcc >> iBits) & ((1u << iWidth) - 1));
    });
}

void LGSMParams::PackLsb(uint8_t* pOut, int iBitOffset) const
{
    int iBit = iBitOffset;
    ForEachField(*this, [&](const int16_t& v, int iWidth) {
        for (int b = 0; b < iWidth; ++b, ++iBit) {
            uint8_t uMask = uint8_t(1u << (iBit & 7));
            if ((uint32_t(v) >> b) & 1)
                pOut[iBit >> 3] |= uMask;
            else
                pOut[iBit >> 3] &= uint8_t(~uMask);
        }
    });
}

void LGSMParams::UnpackLsb(const uint8_t* pIn, int iBitOffset)
{
    int iBit = iBitOffset;
    ForEachField(*this, [&](int16_t& v, int iWidth) {
        uint32_t u = 0;
        for (int b = 0; b < iWidth; ++b, ++iBit)
            u |= uint32_t((pIn[iBit >> 3] >> (iBit & 7)) & 1) << b;
        v = int16_t(u);
    });
}
