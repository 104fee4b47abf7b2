#include "codecs/gsm/LGSMCommon.h"

#include "codecs/gsm/LGSMMath.h"

using M = LGSMMath;

const int16_t LGSMCommon::kQLB[4] = { 3277, 11469, 21299, 32767 };
const int LGSMCommon::kSegStart[5] = { 0, 13, 27, 40, 160 };

namespace {

const int16_t kMIC[8] = { -32, -32, -16, -16, -8, -8, -4, -4 };
const int16_t kB[8] = { 0, 0, 2048, -2560, 94, -1792, -341, -1144 };
const int16_t kINVA[8] = { 13107, 13107, 13107, 13107, 19223, 17476, 31454, 29708 };
const int16_t kFAC[8] = { 18431, 20479, 22527, 24575, 26623, 28671, 30719, 32767 };

} // namespace

void LGSMCommon::DecodeLar(const int16_t* pLARc, int16_t* pLARpp)
{
    for (int i = 0; i < 8; ++i) {
        int16_t t = M::Asl(M::Add(pLARc[i], kMIC[i]), 10);
        t = M::Sub(t, int16_t(kB[i] * 2));
        t = M::MultR(kINVA[i], t);
        pLARpp[i] = M::Add(t, t);
    }
}

void LGSMCommon::SegmentRp(const int16_t* pPrev, const int16_t* pCur, int iSeg, int16_t* pRp)
{
    for (int i = 0; i < 8; ++i) {
        int16_t lar;
        switch (iSeg) {
        case 0:
            lar = M::Add(
                M::Add(int16_t(pPrev[i] >> 2), int16_t(pCur[i] >> 2)), int16_t(pPrev[i] >> 1));
            break;
        case 1:
            lar = M::Add(int16_t(pPrev[i] >> 1), int16_t(pCur[i] >> 1));
            break;
        case 2:
            lar = M::Add(
                M::Add(int16_t(pPrev[i] >> 2), int16_t(pCur[i] >> 2)), int16_t(pCur[i] >> 1));
            break;
        default:
            lar = pCur[i];
            break;
        }
        // Log-area ratio back to a reflection coefficient (piecewise linear).
        int16_t t = M::Abs(lar);
        if (t < 11059)
            t = int16_t(t << 1);
        else if (t < 20070)
            t = M::Add(t, 11059);
        else
            t = M::Add(int16_t(t >> 2), 26112);
        pRp[i] = lar < 0 ? M::Sub(0, t) : t;
    }
}

void LGSMCommon::ExpMant(int16_t xmaxc, int16_t& exp, int16_t& mant)
{
    exp = 0;
    if (xmaxc > 15)
        exp = int16_t((xmaxc >> 3) - 1);
    mant = int16_t(xmaxc - (exp << 3));
    if (mant == 0) {
        exp = -4;
        mant = 7;
        return;
    }
    while (mant <= 7) {
        mant = int16_t(mant << 1 | 1);
        --exp;
    }
    mant = int16_t(mant - 8);
}

void LGSMCommon::ApcmInverse(const int16_t* pXMc, int16_t exp, int16_t mant, int16_t* pXMp)
{
    int16_t t1 = kFAC[mant];
    int16_t t2 = M::Sub(6, exp);
    int16_t t3 = M::Asl(1, M::Sub(t2, 1));
    for (int i = 0; i < 13; ++i) {
        int16_t t = int16_t((pXMc[i] << 1) - 7); // restore the sign
        t = int16_t(t << 12);
        t = M::MultR(t1, t);
        t = M::Add(t, t3);
        pXMp[i] = M::Asr(t, t2);
    }
}

void LGSMCommon::GridPosition(int16_t Mc, const int16_t* pXMp, int16_t* pEp)
{
    for (int k = 0; k < 40; ++k)
        pEp[k] = 0;
    for (int i = 0; i < 13; ++i)
        pEp[Mc + 3 * i] = pXMp[i];
}
