#include "codecs/gsm/LGSMDecoder.h"

#include "codecs/gsm/LGSMCommon.h"
#include "codecs/gsm/LGSMMath.h"

#include <cstring>

using M = LGSMMath;

void LGSMDecoder::Reset()
{
    std::memset(aLARppPrev, 0, sizeof(aLARppPrev));
    std::memset(aV, 0, sizeof(aV));
    std::memset(aDrp, 0, sizeof(aDrp));
    iNrp = 40;
}

void LGSMDecoder::Decode(const LGSMParams& params, int16_t* pSr)
{
    int16_t wt[160];
    for (int j = 0; j < 4; ++j) {
        int16_t exp;
        int16_t mant;
        int16_t xMp[13];
        int16_t erp[40];
        int16_t Mc = int16_t(params.Mc[j] & 3);
        LGSMCommon::ExpMant(int16_t(params.xmaxc[j] & 63), exp, mant);
        LGSMCommon::ApcmInverse(params.xMc[j], exp, mant, xMp);
        LGSMCommon::GridPosition(Mc, xMp, erp);
        LongTermSynthesis(params.Nc[j], int16_t(params.bc[j] & 3), erp, wt + 40 * j);
    }
    ShortTermSynthesis(params.LARc, wt, pSr);
}

void LGSMDecoder::LongTermSynthesis(int16_t Ncr, int16_t bcr, const int16_t* pErp, int16_t* pDrp)
{
    // A lag outside 40..120 (a corrupted frame) repeats the last valid one.
    int16_t Nr = (Ncr < 40 || Ncr > 120) ? iNrp : Ncr;
    iNrp = Nr;
    int16_t brp = LGSMCommon::kQLB[bcr];
    for (int k = 0; k < 40; ++k) {
        int16_t drpp = M::MultR(brp, aDrp[120 + k - Nr]);
        aDrp[120 + k] = M::Add(pErp[k], drpp);
    }
    std::memcpy(pDrp, aDrp + 120, 40 * sizeof(int16_t));
    std::memmove(aDrp, aDrp + 40, 120 * sizeof(int16_t));
}

void LGSMDecoder::ShortTermSynthesis(const int16_t* pLARcr, const int16_t* pWt, int16_t* pSr)
{
    int16_t aLARpp[8];
    LGSMCommon::DecodeLar(pLARcr, aLARpp);
    for (int iSeg = 0; iSeg < 4; ++iSeg) {
        int16_t rrp[8];
        LGSMCommon::SegmentRp(aLARppPrev, aLARpp, iSeg, rrp);
        for (int k = LGSMCommon::kSegStart[iSeg]; k < LGSMCommon::kSegStart[iSeg + 1]; ++k) {
            int16_t sri = pWt[k];
            for (int i = 7; i >= 0; --i) {
                sri = M::Sub(sri, M::MultR(rrp[i], aV[i]));
                aV[i + 1] = M::Add(aV[i], M::MultR(rrp[i], sri));
            }
            aV[0] = sri;
            pSr[k] = sri;
        }
    }
    std::memcpy(aLARppPrev, aLARpp, sizeof(aLARpp));
}
