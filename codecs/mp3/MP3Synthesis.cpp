// Polyphase synthesis filter bank: 32 subband samples in, 32 output samples
// out per step. Only 32 of the 64 matrixing values are independent, so one
// 32 x 32 product per step fills the history vector.

#include "codecs/mp3/MP3Decoder.h"
#include "codecs/mp3/MP3Simd.h"

static constexpr float kPeak = 2097152.0f; // 0x200000

static void ExpandV(const float* u, float* v)
{
    for (int i = 0; i < 16; ++i) {
        v[i] = u[i];
        v[32 - i] = -u[i];
        v[33 + i] = u[16 + i];
    }
    v[16] = 0.0f;
    for (int x = 1; x < 16; ++x)
        v[48 + x] = u[31 - x];
}

void MP3Decoder::SynthStepScalar(const float* pIn, float* pV, int ch, int32_t* pOut, int nch)
{
    float u[32];
    for (int r = 0; r < 32; ++r) {
        float acc = 0.0f;
        for (int k = 0; k < 32; ++k)
            acc += pTables->aSynthMatrix[k][r] * pIn[k];
        u[r] = acc;
    }
    ExpandV(u, pV);
    int pos = int(pV - aSynthV[ch][0]) / 64;
    const float* d = pTables->aSynthWindow;
    for (int j = 0; j < 32; ++j) {
        float s = 0.0f;
        for (int i = 0; i < 8; ++i) {
            s += d[64 * i + j] * aSynthV[ch][(pos + 2 * i) & 15][j];
            s += d[64 * i + 32 + j] * aSynthV[ch][(pos + 2 * i + 1) & 15][32 + j];
        }
        s = s > kPeak ? kPeak : (s < -kPeak ? -kPeak : s);
        pOut[j * nch] = int32_t(s);
    }
}

void MP3Decoder::SynthStepVector(const float* pIn, float* pV, int ch, int32_t* pOut, int nch)
{
    MP3V4 acc[8];
    for (int q = 0; q < 8; ++q)
        acc[q] = MP3Splat(0.0f);
    for (int k = 0; k < 32; ++k) {
        MP3V4 in = MP3Splat(pIn[k]);
        const float* m = pTables->aSynthMatrix[k];
        for (int q = 0; q < 8; ++q)
            acc[q] += MP3Load(m + 4 * q) * in;
    }
    alignas(16) float u[32];
    for (int q = 0; q < 8; ++q)
        MP3Store(u + 4 * q, acc[q]);
    ExpandV(u, pV);
    int pos = int(pV - aSynthV[ch][0]) / 64;
    const float* d = pTables->aSynthWindow;
    MP3V4 s[8];
    for (int q = 0; q < 8; ++q)
        s[q] = MP3Splat(0.0f);
    for (int i = 0; i < 8; ++i) {
        const float* even = aSynthV[ch][(pos + 2 * i) & 15];
        const float* odd = aSynthV[ch][(pos + 2 * i + 1) & 15] + 32;
        for (int q = 0; q < 8; ++q)
            s[q] += MP3Load(d + 64 * i + 4 * q) * MP3Load(even + 4 * q)
                + MP3Load(d + 64 * i + 32 + 4 * q) * MP3Load(odd + 4 * q);
    }
    for (int q = 0; q < 8; ++q) {
        MP3I4 v = MP3ToInt(MP3Max(MP3Min(s[q], MP3Splat(kPeak)), MP3Splat(-kPeak)));
        for (int l = 0; l < 4; ++l)
            pOut[(4 * q + l) * nch] = v[l];
    }
}

void MP3Decoder::Synthesize(int ch, int32_t* pOut, int nch)
{
    for (int t = 0; t < 18; ++t) {
        float* v = aSynthV[ch][(iSynthPos - t) & 15];
        int32_t* out = pOut + t * 32 * nch + ch;
        if (bScalar)
            SynthStepScalar(aHybrid[t], v, ch, out, nch);
        else
            SynthStepVector(aHybrid[t], v, ch, out, nch);
    }
}
