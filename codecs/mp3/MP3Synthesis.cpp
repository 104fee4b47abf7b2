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

// One vector step: the matrixing over the inputs up to the last nonzero
// one (the rest add only zeros, so leaving them out changes no sum), then
// the window over the history, rows pos.. of V (16 rows of 64).
MP3_WIDE static void SynthStep8(
    const MP3LayerTables& tables, const float* pIn, float (*V)[64], int pos, int32_t* pOut, int nch)
{
    int kEnd = 32;
    while (kEnd > 0 && pIn[kEnd - 1] == 0.0f)
        --kEnd;
    MP3V8 acc[4] = {};
    for (int k = 0; k < kEnd; ++k) {
        const float in = pIn[k];
        const float* m = tables.aSynthMatrix[k];
        for (int q = 0; q < 4; ++q)
            acc[q] += MP3Load8(m + 8 * q) * in;
    }
    alignas(32) float u[32];
    for (int q = 0; q < 4; ++q)
        MP3Store8(u + 8 * q, acc[q]);
    ExpandV(u, V[pos]);
    const float* d = tables.aSynthWindow;
    MP3V8 s[4] = {};
    for (int i = 0; i < 8; ++i) {
        const float* even = V[(pos + 2 * i) & 15];
        const float* odd = V[(pos + 2 * i + 1) & 15] + 32;
        for (int q = 0; q < 4; ++q)
            s[q] += MP3Load8(d + 64 * i + 8 * q) * MP3Load8(even + 8 * q)
                + MP3Load8(d + 64 * i + 32 + 8 * q) * MP3Load8(odd + 8 * q);
    }
    for (int q = 0; q < 4; ++q) {
        const MP3V8 peak = kPeak + MP3V8 {}, floor = -kPeak + MP3V8 {};
        MP3V8 c = s[q] < peak ? s[q] : peak;
        c = c > floor ? c : floor;
        for (int l = 0; l < 8; ++l)
            pOut[(8 * q + l) * nch] = int32_t(c[l]);
    }
}

void MP3Decoder::SynthStepVector(const float* pIn, float* pV, int ch, int32_t* pOut, int nch)
{
    SynthStep8(*pTables, pIn, aSynthV[ch], int(pV - aSynthV[ch][0]) / 64, pOut, nch);
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
