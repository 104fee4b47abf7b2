#include "codecs/gsm/LGSMEncoder.h"

#include "codecs/gsm/LGSMCommon.h"
#include "codecs/gsm/LGSMMath.h"

#include <cstring>

using M = LGSMMath;

namespace {

const int16_t kA[8] = { 20480, 20480, 20480, 20480, 13964, 15360, 8534, 9036 };
const int16_t kB[8] = { 0, 0, 2048, -2560, 94, -1792, -341, -1144 };
const int16_t kMIC[8] = { -32, -32, -16, -16, -8, -8, -4, -4 };
const int16_t kMAC[8] = { 31, 31, 15, 15, 7, 7, 3, 3 };
const int16_t kDLB[4] = { 6554, 16384, 26214, 32767 };
const int16_t kNRFAC[8] = { 29128, 26215, 23832, 21846, 20165, 18725, 17476, 16384 };
const int16_t kH[11] = { -134, -374, 0, 2054, 5741, 8192, 5741, 2054, 0, -374, -134 };

} // namespace

void LGSMEncoder::Reset()
{
    std::memset(aLARppPrev, 0, sizeof(aLARppPrev));
    std::memset(aU, 0, sizeof(aU));
    std::memset(aDp, 0, sizeof(aDp));
}

void LGSMEncoder::Encode(int16_t* pS, LGSMParams& params)
{
    int32_t aACF[9];
    int16_t aR[8];
    Autocorrelation(pS, aACF);
    Reflection(aACF, aR);
    QuantizeLar(aR, params.LARc);
    ShortTermAnalysis(params.LARc, pS);
    for (int j = 0; j < 4; ++j)
        Subframe(pS + 40 * j, j, params);
}

void LGSMEncoder::Autocorrelation(int16_t* pS, int32_t* pACF)
{
    int16_t smax = 0;
    for (int k = 0; k < 160; ++k) {
        int16_t t = M::Abs(pS[k]);
        if (t > smax)
            smax = t;
    }
    int scalauto = smax == 0 ? 0 : 4 - M::Norm(int32_t(smax) << 16);
    if (scalauto > 0) {
        int16_t f = int16_t(16384 >> (scalauto - 1));
        for (int k = 0; k < 160; ++k)
            pS[k] = M::MultR(pS[k], f);
    }
    // After scaling |s| <= 2^11, so 160 doubled products stay below 2^31 and
    // the saturating sum is a plain one.
    for (int k = 0; k <= 8; ++k) {
        int32_t lSum = 0;
        for (int i = k; i < 160; ++i)
            lSum += int32_t(pS[i]) * pS[i - k];
        pACF[k] = lSum * 2;
    }
    // The scaled samples are shifted back (not restored). Rounding may carry
    // a top-of-range sample to 32768; it saturates rather than wrapping to a
    // sign flip. The standard preprocessing stays below that (|s| < 32760),
    // only the wider-range input filter can get there.
    if (scalauto > 0) {
        for (int k = 0; k < 160; ++k)
            pS[k] = M::Sat16(int32_t(pS[k]) * (1 << scalauto));
    }
}

// Schur recursion from the autocorrelation to 8 reflection coefficients.
void LGSMEncoder::Reflection(const int32_t* pACF, int16_t* pR)
{
    if (pACF[0] == 0) {
        std::memset(pR, 0, 8 * sizeof(int16_t));
        return;
    }
    int iNorm = M::Norm(pACF[0]);
    int16_t acf[9];
    for (int k = 0; k <= 8; ++k)
        acf[k] = int16_t(M::Shl32(pACF[k], iNorm) >> 16);
    int16_t P[9];
    int16_t K[9];
    for (int i = 1; i <= 7; ++i)
        K[9 - i] = acf[i];
    for (int i = 0; i <= 8; ++i)
        P[i] = acf[i];
    for (int n = 1; n <= 8; ++n) {
        int16_t t = M::Abs(P[1]);
        if (P[0] < t) {
            for (int i = n; i <= 8; ++i)
                pR[i - 1] = 0;
            return;
        }
        int16_t r = M::Div(t, P[0]);
        if (P[1] > 0)
            r = M::Sub(0, r);
        pR[n - 1] = r;
        if (n == 8)
            return;
        P[0] = M::Add(P[0], M::MultR(P[1], r));
        for (int m = 1; m <= 8 - n; ++m) {
            P[m] = M::Add(P[m + 1], M::MultR(K[9 - m], r));
            K[9 - m] = M::Add(K[9 - m], M::MultR(P[m + 1], r));
        }
    }
}

void LGSMEncoder::QuantizeLar(const int16_t* pR, int16_t* pLARc)
{
    for (int i = 0; i < 8; ++i) {
        // Reflection coefficient to log-area ratio (piecewise linear).
        int16_t t = M::Abs(pR[i]);
        if (t < 22118)
            t = int16_t(t >> 1);
        else if (t < 31130)
            t = M::Sub(t, 11059);
        else
            t = int16_t(M::Sub(t, 26112) << 2);
        int16_t lar = pR[i] < 0 ? M::Sub(0, t) : t;
        t = M::Add(M::Mult(kA[i], lar), kB[i]);
        t = M::Add(t, 256);
        t = int16_t(t >> 9);
        if (t > kMAC[i])
            t = kMAC[i];
        if (t < kMIC[i])
            t = kMIC[i];
        pLARc[i] = M::Sub(t, kMIC[i]);
    }
}

void LGSMEncoder::ShortTermAnalysis(const int16_t* pLARc, int16_t* pS)
{
    int16_t aLARpp[8];
    LGSMCommon::DecodeLar(pLARc, aLARpp);
    for (int iSeg = 0; iSeg < 4; ++iSeg) {
        int16_t rp[8];
        LGSMCommon::SegmentRp(aLARppPrev, aLARpp, iSeg, rp);
        for (int k = LGSMCommon::kSegStart[iSeg]; k < LGSMCommon::kSegStart[iSeg + 1]; ++k) {
            int16_t di = pS[k];
            int16_t sav = di;
            for (int i = 0; i < 8; ++i) {
                int16_t ui = aU[i];
                int16_t t = M::Add(ui, M::MultR(rp[i], di));
                di = M::Add(di, M::MultR(rp[i], ui));
                aU[i] = sav;
                sav = t;
            }
            pS[k] = di;
        }
    }
    std::memcpy(aLARppPrev, aLARpp, sizeof(aLARpp));
}

void LGSMEncoder::Subframe(const int16_t* pD, int j, LGSMParams& params)
{
    int16_t Nc;
    int16_t bc;
    LtpParameters(pD, Nc, bc);
    params.Nc[j] = Nc;
    params.bc[j] = bc;

    // Long-term analysis filtering.
    int16_t bp = LGSMCommon::kQLB[bc];
    int16_t dpp[40];
    int16_t e[40];
    for (int k = 0; k < 40; ++k) {
        dpp[k] = M::MultR(bp, aDp[120 + k - Nc]);
        e[k] = M::Sub(pD[k], dpp[k]);
    }

    int16_t x[40];
    Weighting(e, x);

    // RPE grid selection: the decimated sequence of most energy.
    int32_t lEM = 0;
    int16_t Mc = 0;
    for (int m = 0; m < 4; ++m) {
        int32_t lSum = 0;
        for (int i = 0; i < 13; ++i) {
            int16_t t = int16_t(x[m + 3 * i] >> 2);
            lSum += M::LMult(t, t);
        }
        if (lSum > lEM) {
            Mc = int16_t(m);
            lEM = lSum;
        }
    }
    params.Mc[j] = Mc;
    int16_t xM[13];
    for (int i = 0; i < 13; ++i)
        xM[i] = x[Mc + 3 * i];

    int16_t exp;
    int16_t mant;
    ApcmQuantize(xM, params.xmaxc[j], params.xMc[j], exp, mant);

    // Local decoding: the reconstructed residual feeds the next subframes.
    int16_t xMp[13];
    int16_t ep[40];
    LGSMCommon::ApcmInverse(params.xMc[j], exp, mant, xMp);
    LGSMCommon::GridPosition(Mc, xMp, ep);
    for (int k = 0; k < 40; ++k)
        aDp[120 + k] = M::Add(ep[k], dpp[k]);
    std::memmove(aDp, aDp + 40, 120 * sizeof(int16_t));
}

void LGSMEncoder::LtpParameters(const int16_t* pD, int16_t& Nc, int16_t& bc) const
{
    int16_t dmax = 0;
    for (int k = 0; k < 40; ++k) {
        int16_t t = M::Abs(pD[k]);
        if (t > dmax)
            dmax = t;
    }
    int iNorm = dmax == 0 ? 0 : M::Norm(int32_t(dmax) << 16);
    int scal = iNorm > 6 ? 0 : 6 - iNorm;
    int16_t wt[40];
    for (int k = 0; k < 40; ++k)
        wt[k] = int16_t(pD[k] >> scal);

    // |wt| <= 512 and |dp| <= 32768: 40 doubled products stay below 2^31.
    int32_t lMax = 0;
    Nc = 40;
    for (int lambda = 40; lambda <= 120; ++lambda) {
        const int16_t* pDp = aDp + 120 - lambda;
        int32_t lSum = 0;
        for (int k = 0; k < 40; ++k)
            lSum += int32_t(wt[k]) * pDp[k];
        lSum *= 2;
        if (lSum > lMax) {
            Nc = int16_t(lambda);
            lMax = lSum;
        }
    }
    lMax >>= 6 - scal;

    int32_t lPower = 0;
    for (int k = 0; k < 40; ++k) {
        int16_t t = int16_t(aDp[120 + k - Nc] >> 3);
        lPower += int32_t(t) * t * 2;
    }
    if (lMax <= 0) {
        bc = 0;
        return;
    }
    if (lMax >= lPower) {
        bc = 3;
        return;
    }
    int iShift = M::Norm(lPower);
    int16_t R = int16_t(M::Shl32(lMax, iShift) >> 16);
    int16_t S = int16_t(M::Shl32(lPower, iShift) >> 16);
    for (bc = 0; bc <= 2; ++bc) {
        if (R <= M::Mult(S, kDLB[bc]))
            return;
    }
}

// Block filtering of the residual with the weighting filter's impulse
// response; the residual is zero outside the subframe.
void LGSMEncoder::Weighting(const int16_t* pE, int16_t* pX)
{
    int16_t w[50] = {};
    std::memcpy(w + 5, pE, 40 * sizeof(int16_t));
    for (int k = 0; k < 40; ++k) {
        int32_t lSum = 0;
        for (int i = 0; i < 11; ++i)
            lSum += int32_t(w[k + i]) * kH[i];
        // Rounding, doubling products, then two saturating doublings and >> 16.
        int32_t l = 8192 + lSum * 2;
        l = M::LAdd(l, l);
        l = M::LAdd(l, l);
        pX[k] = int16_t(l >> 16);
    }
}

void LGSMEncoder::ApcmQuantize(
    const int16_t* pXM, int16_t& xmaxc, int16_t* pXMc, int16_t& exp, int16_t& mant)
{
    int16_t xmax = 0;
    for (int i = 0; i < 13; ++i) {
        int16_t t = M::Abs(pXM[i]);
        if (t > xmax)
            xmax = t;
    }
    // Coding of the block amplitude: 3-bit exponent, 3-bit mantissa.
    int16_t e = 0;
    int16_t t = int16_t(xmax >> 9);
    bool bStop = false;
    for (int i = 0; i <= 5; ++i) {
        bStop = bStop || t <= 0;
        t = int16_t(t >> 1);
        if (!bStop)
            ++e;
    }
    xmaxc = M::Add(int16_t(xmax >> (e + 5)), int16_t(e << 3));

    LGSMCommon::ExpMant(xmaxc, exp, mant);
    int iShift = 6 - exp;
    int16_t f = kNRFAC[mant];
    for (int i = 0; i < 13; ++i) {
        int16_t v = int16_t(uint16_t(uint32_t(int32_t(pXM[i])) << iShift));
        v = int16_t(M::Mult(v, f) >> 12);
        pXMc[i] = M::Add(v, 4);
    }
}
