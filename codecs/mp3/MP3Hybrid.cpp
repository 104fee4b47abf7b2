// Short block reordering, alias reduction and the hybrid filter bank (IMDCT
// with windowing and overlap-add, frequency inversion).

#include "codecs/mp3/MP3Decoder.h"
#include "codecs/mp3/MP3Simd.h"

#include <algorithm>
#include <cstring>

void MP3Decoder::Reorder(const Granule& g, int ch)
{
    if (g.iBlockType != 2 || aNonZero[ch] == 0)
        return;
    float* xr = aXr[ch];
    int start = g.iMixed ? kMP3Bands[iRate].aShort[3] * 3 : 0;
    float aTmp[576];
    std::memcpy(aTmp + start, xr + start, sizeof(float) * size_t(576 - start));
    const int16_t* map = pTables->aReorder[iRate];
    for (int i = start; i < 576; ++i)
        xr[i] = aTmp[map[i]];
    int n = 576;
    while (n > 0 && xr[n - 1] == 0.0f)
        --n;
    aNonZero[ch] = n;
}

void MP3Decoder::AliasReduce(const Granule& g, int ch)
{
    float* xr = aXr[ch];
    int lastBoundary = g.iBlockType != 2 ? 31 : (g.iMixed ? 1 : 0);
    const float* cs = pTables->aAliasCs;
    const float* ca = pTables->aAliasCa;
    int sb = 1;
    for (; sb <= lastBoundary && 18 * sb - 8 < aNonZero[ch]; ++sb) {
        float* p = xr + 18 * sb;
        for (int i = 0; i < 8; ++i) {
            float a = p[-1 - i], b = p[i];
            p[-1 - i] = a * cs[i] - b * ca[i];
            p[i] = b * cs[i] + a * ca[i];
        }
    }
    if (sb > 1)
        aNonZero[ch] = std::min(576, std::max(aNonZero[ch], 18 * (sb - 1) + 8));
}

void MP3Decoder::HybridLongScalar(int sb, int blockType, int ch)
{
    const float* X = aXr[ch] + 18 * sb;
    float y[18];
    for (int j = 0; j < 18; ++j) {
        float acc = 0.0f;
        for (int k = 0; k < 18; ++k)
            acc += pTables->aImdctLong[k][j] * X[k];
        y[j] = acc;
    }
    float x[36];
    for (int t = 0; t < 9; ++t) {
        x[t] = y[t];
        x[17 - t] = -y[t];
        x[18 + t] = y[9 + t];
        x[35 - t] = y[9 + t];
    }
    const float* w = pTables->aWindow[blockType];
    for (int t = 0; t < 18; ++t) {
        aHybrid[t][sb] = x[t] * w[t] + aOverlap[ch][t][sb];
        aOverlap[ch][t][sb] = x[18 + t] * w[18 + t];
    }
}

// Eight subbands per pass, one per lane: the [time][subband] layout of the
// overlap and output makes every step a plain vector operation. Each output
// is summed over k in order.
MP3_WIDE static void HybridLong8(
    const MP3LayerTables& tables, const float* X, const float* w, float* pOut, float* pOverlap)
{
    // Subband l's 18 lines go to lane l: a plain copy, then whole loads.
    alignas(32) float aT[18][8];
    for (int l = 0; l < 8; ++l)
        for (int k = 0; k < 18; ++k)
            aT[k][l] = X[18 * l + k];
    MP3V8 xv[18];
    for (int k = 0; k < 18; ++k)
        xv[k] = MP3Load8(aT[k]);
    // Six outputs at a time stay in registers while k runs in order.
    MP3V8 y[18];
    for (int jb = 0; jb < 18; jb += 6) {
        MP3V8 acc[6] = {};
        for (int k = 0; k < 18; ++k) {
            const float* m = tables.aImdctLong[k] + jb;
            for (int j = 0; j < 6; ++j)
                acc[j] += m[j] * xv[k];
        }
        for (int j = 0; j < 6; ++j)
            y[jb + j] = acc[j];
    }
    for (int t = 0; t < 18; ++t) {
        MP3V8 head = t < 9 ? y[t] : -y[17 - t];
        MP3V8 tail = t < 9 ? y[9 + t] : y[26 - t];
        float* ov = pOverlap + 32 * t;
        MP3Store8(pOut + 32 * t, head * w[t] + MP3Load8(ov));
        MP3Store8(ov, tail * w[18 + t]);
    }
}

void MP3Decoder::HybridLongVector(int sbFrom, int sbTo, int blockType, int ch)
{
    for (int sb = sbFrom; sb < sbTo; sb += 8)
        HybridLong8(*pTables, aXr[ch] + 18 * sb, pTables->aWindow[blockType], &aHybrid[0][sb],
            &aOverlap[ch][0][sb]);
}

void MP3Decoder::HybridShort(int sb, int ch)
{
    const float* X = aXr[ch] + 18 * sb;
    const float* win = pTables->aWindow[2];
    float z[36] = {};
    for (int w = 0; w < 3; ++w)
        for (int i = 0; i < 12; ++i) {
            float acc = 0.0f;
            for (int k = 0; k < 6; ++k)
                acc += pTables->aImdctShort[k][i] * X[3 * k + w];
            z[6 + 6 * w + i] += acc * win[i];
        }
    for (int t = 0; t < 18; ++t) {
        aHybrid[t][sb] = z[t] + aOverlap[ch][t][sb];
        aOverlap[ch][t][sb] = z[18 + t];
    }
}

void MP3Decoder::Hybrid(const Granule& g, int ch)
{
    // Subbands past the last nonzero line only release their overlap.
    int nsb = std::min(32, (aNonZero[ch] + 17) / 18);
    int longTo = g.iBlockType != 2 ? nsb : (g.iMixed ? std::min(2, nsb) : 0);
    int longType = g.iBlockType != 2 ? g.iBlockType : 0;
    if (!bScalar && g.iBlockType != 2 && !g.iMixed) {
        longTo = (nsb + 7) & ~7;
        HybridLongVector(0, longTo, longType, ch);
    } else {
        // A mixed block's two lowest subbands take the normal window whatever
        // the block type, start and stop blocks included; encoders rarely
        // write mixed start or stop blocks, so they stay on the plain loop.
        for (int sb = 0; sb < longTo; ++sb)
            HybridLongScalar(sb, g.iMixed && sb < 2 ? 0 : longType, ch);
    }
    if (g.iBlockType == 2)
        for (int sb = longTo; sb < nsb; ++sb)
            HybridShort(sb, ch);
    int from = std::max(longTo, g.iBlockType == 2 ? nsb : 0);
    for (int t = 0; t < 18; ++t)
        for (int sb = from; sb < 32; ++sb) {
            aHybrid[t][sb] = aOverlap[ch][t][sb];
            aOverlap[ch][t][sb] = 0.0f;
        }
    // Frequency inversion: odd time samples of odd subbands change sign.
    for (int t = 1; t < 18; t += 2)
        for (int sb = 1; sb < 32; sb += 2)
            aHybrid[t][sb] = -aHybrid[t][sb];
}
