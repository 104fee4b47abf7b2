#include "codecs/mp3/MP3Tables.h"

#include <cmath>
#include <mutex>
#include <vector>

const MP3BandTable kMP3Bands[9] = {
    { { 0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 52, 62, 74, 90, 110, 134, 162, 196, 238, 288, 342, 418,
          576 },
        { 0, 4, 8, 12, 16, 22, 30, 40, 52, 66, 84, 106, 136, 192 } },
    { { 0, 4, 8, 12, 16, 20, 24, 30, 36, 42, 50, 60, 72, 88, 106, 128, 156, 190, 230, 276, 330, 384,
          576 },
        { 0, 4, 8, 12, 16, 22, 28, 38, 50, 64, 80, 100, 126, 192 } },
    { { 0, 4, 8, 12, 16, 20, 24, 30, 36, 44, 54, 66, 82, 102, 126, 156, 194, 240, 296, 364, 448,
          550, 576 },
        { 0, 4, 8, 12, 16, 22, 30, 42, 58, 78, 104, 138, 180, 192 } },
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464,
          522, 576 },
        { 0, 4, 8, 12, 18, 24, 32, 42, 56, 74, 100, 132, 174, 192 } },
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 114, 136, 162, 194, 232, 278, 332, 394, 464,
          540, 576 },
        { 0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 136, 180, 192 } },
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464,
          522, 576 },
        { 0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192 } },
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464,
          522, 576 },
        { 0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192 } },
    { { 0, 6, 12, 18, 24, 30, 36, 44, 54, 66, 80, 96, 116, 140, 168, 200, 238, 284, 336, 396, 464,
          522, 576 },
        { 0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192 } },
    { { 0, 12, 24, 36, 48, 60, 72, 88, 108, 132, 160, 192, 232, 280, 336, 400, 476, 566, 568, 570,
          572, 574, 576 },
        { 0, 8, 16, 24, 36, 52, 72, 96, 124, 160, 162, 164, 166, 192 } },
};

const uint8_t kMP3LsfPartitions[6][3][4] = {
    { { 6, 5, 5, 5 }, { 9, 9, 9, 9 }, { 6, 9, 9, 9 } },
    { { 6, 5, 7, 3 }, { 9, 9, 12, 6 }, { 6, 9, 12, 6 } },
    { { 11, 10, 0, 0 }, { 18, 18, 0, 0 }, { 15, 18, 0, 0 } },
    { { 7, 7, 7, 0 }, { 12, 12, 12, 0 }, { 6, 15, 12, 0 } },
    { { 6, 6, 6, 3 }, { 12, 9, 9, 6 }, { 6, 12, 9, 6 } },
    { { 8, 8, 5, 0 }, { 15, 12, 9, 0 }, { 6, 18, 9, 0 } },
};

const uint8_t kMP3Pretab[22] = { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0 };

const uint8_t kMP3Slen[2][16] = { { 0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4 },
    { 0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3 } };

const double kMP3SynthProto[257] = {
    0.000000000,
    -0.000015259,
    -0.000015259,
    -0.000015259,
    -0.000015259,
    -0.000015259,
    -0.000015259,
    -0.000030518,
    -0.000030518,
    -0.000030518,
    -0.000030518,
    -0.000045776,
    -0.000045776,
    -0.000061035,
    -0.000061035,
    -0.000076294,
    -0.000076294,
    -0.000091553,
    -0.000106812,
    -0.000106812,
    -0.000122070,
    -0.000137329,
    -0.000152588,
    -0.000167847,
    -0.000198364,
    -0.000213623,
    -0.000244141,
    -0.000259399,
    -0.000289917,
    -0.000320435,
    -0.000366211,
    -0.000396729,
    -0.000442505,
    -0.000473022,
    -0.000534058,
    -0.000579834,
    -0.000625610,
    -0.000686646,
    -0.000747681,
    -0.000808716,
    -0.000885010,
    -0.000961304,
    -0.001037598,
    -0.001113892,
    -0.001205444,
    -0.001296997,
    -0.001388550,
    -0.001480103,
    -0.001586914,
    -0.001693726,
    -0.001785278,
    -0.001907349,
    -0.002014160,
    -0.002120972,
    -0.002243042,
    -0.002349854,
    -0.002456665,
    -0.002578735,
    -0.002685547,
    -0.002792358,
    -0.002899170,
    -0.002990723,
    -0.003082275,
    -0.003173828,
    -0.003250122,
    -0.003326416,
    -0.003387451,
    -0.003433228,
    -0.003463745,
    -0.003479004,
    -0.003479004,
    -0.003463745,
    -0.003417969,
    -0.003372192,
    -0.003280640,
    -0.003173828,
    -0.003051758,
    -0.002883911,
    -0.002700806,
    -0.002487183,
    -0.002227783,
    -0.001937866,
    -0.001617432,
    -0.001266479,
    -0.000869751,
    -0.000442505,
    0.000030518,
    0.000549316,
    0.001098633,
    0.001693726,
    0.002334595,
    0.003005981,
    0.003723145,
    0.004486084,
    0.005294800,
    0.006118774,
    0.007003784,
    0.007919312,
    0.008865356,
    0.009841919,
    0.010848999,
    0.011886597,
    0.012939453,
    0.014022827,
    0.015121460,
    0.016235352,
    0.017349243,
    0.018463135,
    0.019577026,
    0.020690918,
    0.021789551,
    0.022857666,
    0.023910522,
    0.024932861,
    0.025909424,
    0.026840210,
    0.027725220,
    0.028533936,
    0.029281616,
    0.029937744,
    0.030532837,
    0.031005859,
    0.031387329,
    0.031661987,
    0.031814575,
    0.031845093,
    0.031738281,
    0.031478882,
    0.031082153,
    0.030517578,
    0.029785156,
    0.028884888,
    0.027801514,
    0.026535034,
    0.025085449,
    0.023422241,
    0.021575928,
    0.019531250,
    0.017257690,
    0.014801025,
    0.012115479,
    0.009231567,
    0.006134033,
    0.002822876,
    -0.000686646,
    -0.004394531,
    -0.008316040,
    -0.012420654,
    -0.016708374,
    -0.021179199,
    -0.025817871,
    -0.030609131,
    -0.035552979,
    -0.040634155,
    -0.045837402,
    -0.051132202,
    -0.056533813,
    -0.061996460,
    -0.067520142,
    -0.073059082,
    -0.078628540,
    -0.084182739,
    -0.089706421,
    -0.095169067,
    -0.100540161,
    -0.105819702,
    -0.110946655,
    -0.115921021,
    -0.120697021,
    -0.125259399,
    -0.129562378,
    -0.133590698,
    -0.137298584,
    -0.140670776,
    -0.143676758,
    -0.146255493,
    -0.148422241,
    -0.150115967,
    -0.151306152,
    -0.151962280,
    -0.152069092,
    -0.151596069,
    -0.150497437,
    -0.148773193,
    -0.146362305,
    -0.143264771,
    -0.139450073,
    -0.134887695,
    -0.129577637,
    -0.123474121,
    -0.116577148,
    -0.108856201,
    -0.100311279,
    -0.090927124,
    -0.080688477,
    -0.069595337,
    -0.057617187,
    -0.044784546,
    -0.031082153,
    -0.016510010,
    -0.001068115,
    0.015228271,
    0.032379150,
    0.050354004,
    0.069168091,
    0.088775635,
    0.109161377,
    0.130310059,
    0.152206421,
    0.174789429,
    0.198059082,
    0.221984863,
    0.246505737,
    0.271591187,
    0.297210693,
    0.323318481,
    0.349868774,
    0.376800537,
    0.404083252,
    0.431655884,
    0.459472656,
    0.487472534,
    0.515609741,
    0.543823242,
    0.572036743,
    0.600219727,
    0.628295898,
    0.656219482,
    0.683914185,
    0.711318970,
    0.738372803,
    0.765029907,
    0.791213989,
    0.816864014,
    0.841949463,
    0.866363525,
    0.890090942,
    0.913055420,
    0.935195923,
    0.956481934,
    0.976852417,
    0.996246338,
    1.014617920,
    1.031936646,
    1.048156738,
    1.063217163,
    1.077117920,
    1.089782715,
    1.101211548,
    1.111373901,
    1.120223999,
    1.127746582,
    1.133926392,
    1.138763428,
    1.142211914,
    1.144287109,
    1.144989014,
};

// Full scale 1.0 of the standard comes out at 2^19 internal units (16 times
// the 16-bit scale).
static constexpr double kOutputScale = 524288.0;

MP3LayerTables& MP3LayerTables::Shared()
{
    static MP3LayerTables tables;
    return tables;
}

bool MP3LayerTables::InitTables()
{
    static std::once_flag once;
    std::call_once(once, [this] { Build(); });
    return bReady;
}

void MP3LayerTables::Build()
{
    if (!BuildHuffman())
        return;
    BuildTransforms();
    BuildStereo();
    BuildReorder();
    bReady = true;
}

namespace {

struct Code {
    uint32_t uCode;
    int iLen;
    uint16_t wValue;
};

// Appends the two-level lookup of one code to store; returns its offset.
size_t AppendLookup(std::vector<uint32_t>& store, const std::vector<Code>& codes)
{
    const int p = kMP3HuffPrimaryBits;
    size_t base = store.size();
    store.resize(base + (size_t(1) << p), 0);
    int aMaxLen[256] = {};
    for (const Code& c : codes) {
        if (c.iLen <= p) {
            uint32_t first = c.uCode << (p - c.iLen);
            for (uint32_t i = 0; i < (1u << (p - c.iLen)); ++i)
                store[base + first + i] = kMP3HuffLeaf | uint32_t(c.iLen) << 16 | c.wValue;
        } else {
            uint32_t prefix = c.uCode >> (c.iLen - p);
            if (c.iLen - p > aMaxLen[prefix])
                aMaxLen[prefix] = c.iLen - p;
        }
    }
    for (uint32_t prefix = 0; prefix < 256; ++prefix) {
        int bits = aMaxLen[prefix];
        if (bits == 0)
            continue;
        size_t sub = store.size();
        store.resize(sub + (size_t(1) << bits), 0);
        store[base + prefix] = uint32_t(bits) << 24 | uint32_t(sub - base);
        for (const Code& c : codes) {
            if (c.iLen <= p || (c.uCode >> (c.iLen - p)) != prefix)
                continue;
            int rest = c.iLen - p;
            uint32_t low = c.uCode & ((1u << rest) - 1);
            uint32_t first = low << (bits - rest);
            for (uint32_t i = 0; i < (1u << (bits - rest)); ++i)
                store[sub + first + i] = kMP3HuffLeaf | uint32_t(rest) << 16 | c.wValue;
        }
    }
    return base;
}

std::vector<Code> CodesOf(const MP3HuffCodes& h, bool bQuad)
{
    std::vector<Code> codes;
    for (int i = 0; i < h.bWidth * h.bWidth; ++i) {
        uint16_t value = bQuad ? uint16_t(i) : uint16_t((i / h.bWidth) << 4 | (i % h.bWidth));
        if (bQuad && i >= 16)
            break;
        codes.push_back({ h.pCodes[i], h.pLens[i], value });
    }
    if (bQuad)
        codes.resize(16);
    return codes;
}

} // namespace

bool MP3LayerTables::BuildHuffman()
{
    std::vector<uint32_t> store;
    size_t aOffset[34] = {};
    for (int t = 0; t < 32; ++t) {
        if (kMP3HuffCodes[t].bWidth == 0)
            continue;
        // The linbits tables share the code of their family's first table.
        int first = t >= 24 ? 24 : (t >= 16 ? 16 : t);
        aOffset[t]
            = first == t ? AppendLookup(store, CodesOf(kMP3HuffCodes[t], false)) : aOffset[first];
    }
    for (int q = 0; q < 2; ++q) {
        std::vector<Code> codes;
        for (int i = 0; i < 16; ++i)
            codes.push_back({ kMP3QuadCodes[q].pCodes[i], kMP3QuadCodes[q].pLens[i], uint16_t(i) });
        aOffset[32 + q] = AppendLookup(store, codes);
    }
    pHuffStore = new uint32_t[store.size()];
    std::copy(store.begin(), store.end(), pHuffStore);
    for (int t = 0; t < 32; ++t) {
        if (kMP3HuffCodes[t].bWidth == 0)
            continue;
        aHuff[t].pTable = pHuffStore + aOffset[t];
        aHuff[t].iLinbits = kMP3HuffCodes[t].bLinbits;
    }
    for (int q = 0; q < 2; ++q)
        aQuad[q].pTable = pHuffStore + aOffset[32 + q];
    return true;
}

void MP3LayerTables::BuildTransforms()
{
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < 8207; ++i)
        aPow43[i] = float(std::pow(double(i), 4.0 / 3.0));
    for (int i = 0; i < 512; ++i)
        aPow2Quarter[i] = float(std::pow(2.0, (i - 400) / 4.0));
    static const double aCi[8] = { -0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037 };
    for (int i = 0; i < 8; ++i) {
        double sq = std::sqrt(1.0 + aCi[i] * aCi[i]);
        aAliasCs[i] = float(1.0 / sq);
        aAliasCa[i] = float(aCi[i] / sq);
    }
    // Outputs 0..8 and 18..26 of the 36-point IMDCT; the others follow from
    // x[17 - i] = -x[i] and x[53 - i] = x[i].
    for (int j = 0; j < 18; ++j) {
        int i = j < 9 ? j : j + 9;
        for (int k = 0; k < 18; ++k)
            aImdctLong[k][j] = float(std::cos(pi / 72.0 * (2 * i + 1 + 18) * (2 * k + 1)));
    }
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 12; ++i)
            aImdctShort[k][i] = float(std::cos(pi / 24.0 * (2 * i + 1 + 6) * (2 * k + 1)));
    for (int i = 0; i < 36; ++i) {
        double s36 = std::sin(pi / 36.0 * (i + 0.5));
        aWindow[0][i] = float(s36);
        aWindow[1][i] = float(i < 18 ? s36
                : i < 24             ? 1.0
                : i < 30             ? std::sin(pi / 12.0 * (i - 18 + 0.5))
                                     : 0.0);
        aWindow[3][i] = float(i < 6 ? 0.0
                : i < 12            ? std::sin(pi / 12.0 * (i - 6 + 0.5))
                : i < 18            ? 1.0
                                    : s36);
        aWindow[2][i] = i < 12 ? float(std::sin(pi / 12.0 * (i + 0.5))) : 0.0f;
    }
    // Matrixing rows n = 0..15 and 33..48; the other 32 rows of the 64 are
    // copies or negations of these (row 16 is zero).
    for (int r = 0; r < 32; ++r) {
        int n = r < 16 ? r : r + 17;
        for (int k = 0; k < 32; ++k)
            aSynthMatrix[k][r] = float(kOutputScale * std::cos((16 + n) * (2 * k + 1) * pi / 64.0));
    }
    for (int i = 0; i < 512; ++i) {
        double d = kMP3SynthProto[i <= 256 ? i : 512 - i];
        aSynthWindow[i] = float((i / 64) % 2 ? -d : d);
    }
}

void MP3LayerTables::BuildStereo()
{
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < 7; ++i) {
        double t = std::tan(i * pi / 12.0);
        aIsRatio[i][0] = float(t / (1.0 + t));
        aIsRatio[i][1] = float(1.0 / (1.0 + t));
    }
    aIsRatio[6][0] = 1.0f; // tan(pi/2): all to the left
    aIsRatio[6][1] = 0.0f;
    for (int s = 0; s < 2; ++s) {
        double io = std::pow(2.0, -0.25 * (s + 1));
        for (int p = 0; p < 32; ++p) {
            double kl = 1.0, kr = 1.0;
            if (p & 1)
                kl = std::pow(io, (p + 1) / 2);
            else if (p)
                kr = std::pow(io, p / 2);
            aIsLsf[s][p][0] = float(kl);
            aIsLsf[s][p][1] = float(kr);
        }
    }
}

void MP3LayerTables::BuildReorder()
{
    // Coded order within a short band: window 0's lines, window 1's, window
    // 2's. Reordered: line f of window w goes to 3 f + w.
    for (int r = 0; r < 9; ++r) {
        const int16_t* s = kMP3Bands[r].aShort;
        for (int sfb = 0; sfb < 13; ++sfb) {
            int width = s[sfb + 1] - s[sfb];
            for (int w = 0; w < 3; ++w)
                for (int f = 0; f < width; ++f)
                    aReorder[r][3 * (s[sfb] + f) + w] = int16_t(3 * s[sfb] + w * width + f);
        }
    }
}
