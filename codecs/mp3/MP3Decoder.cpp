#include "codecs/mp3/MP3Decoder.h"

#include "codecs/mp3/MP3BitReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

MP3Decoder::MP3Decoder()
{
    MP3LayerTables& tables = MP3LayerTables::Shared();
    if (tables.InitTables())
        pTables = &tables;
    Reset();
}

void MP3Decoder::Reset()
{
    std::memset(aOverlap, 0, sizeof(aOverlap));
    std::memset(aSynthV, 0, sizeof(aSynthV));
    std::memset(aXr, 0, sizeof(aXr));
    iSynthPos = 0;
    iResvLen = 0;
}

MP3Decoder::Result MP3Decoder::DecodeFrame(
    const MP3Header& p, const uint8_t* pBody, int nBytes, int32_t* pOut)
{
    if (!pTables || nBytes < p.SideInfoBytes())
        return kBadSideInfo;
    if (Result r = ReadSideInfo(p, pBody, nBytes); r != kDecoded)
        return r;
    iRate = p.RateTableIndex();
    int nMain = std::min(nBytes - p.SideInfoBytes(), 2048);
    const uint8_t* pMain = pBody + p.SideInfoBytes();
    bool bComplete = si.iMainDataBegin <= iResvLen;
    int start = iResvLen - si.iMainDataBegin;
    std::memcpy(aResv + iResvLen, pMain, size_t(nMain));
    iResvLen += nMain;
    std::memset(aResv + iResvLen, 0, 8);
    if (bComplete) {
        DecodeGranules(p, aResv + start, iResvLen - start, pOut);
    } else {
        // Main data begins in a frame we never saw: run silence through the
        // filter bank so that the overlap and history stay continuous.
        std::memset(aXr, 0, sizeof(aXr));
        for (int gr = 0; gr < p.Granules(); ++gr) {
            for (int ch = 0; ch < p.Channels(); ++ch) {
                aNonZero[ch] = 0;
                Granule g = si.gr[gr][ch];
                g.iBlockType = 0;
                Hybrid(g, ch);
                Synthesize(ch, pOut + gr * 576 * p.Channels(), p.Channels());
            }
            iSynthPos = (iSynthPos - 18) & 15;
        }
    }
    if (iResvLen > 511) {
        std::memmove(aResv, aResv + iResvLen - 511, 511);
        iResvLen = 511;
    }
    return kDecoded;
}

void MP3Decoder::DecodeGranules(const MP3Header& p, const uint8_t* pMain, int nMain, int32_t* pOut)
{
    MP3BitReader br(pMain, size_t(nMain));
    size_t pos = 0;
    int nch = p.Channels();
    for (int gr = 0; gr < p.Granules(); ++gr) {
        for (int ch = 0; ch < nch; ++ch) {
            const Granule& g = si.gr[gr][ch];
            br.SetPos(pos);
            size_t end = pos + size_t(g.iPart23Length);
            if (p.iVersion == 0)
                ReadScalefactors(p, br, gr, ch);
            else
                ReadScalefactorsLsf(p, br, ch);
            DecodeHuffman(br, g, end, ch);
            Requantize(g, ch);
            pos = end;
        }
        if (nch == 2 && p.iMode == 1)
            Stereo(p, gr);
        for (int ch = 0; ch < nch; ++ch) {
            const Granule& g = si.gr[gr][ch];
            Reorder(g, ch);
            AliasReduce(g, ch);
            Hybrid(g, ch);
            Synthesize(ch, pOut + gr * 576 * nch, nch);
        }
        iSynthPos = (iSynthPos - 18) & 15;
    }
}

MP3Decoder::Result MP3Decoder::ReadSideInfo(const MP3Header& p, const uint8_t* pBody, int nBytes)
{
    MP3BitReader br(pBody, size_t(nBytes));
    int nch = p.Channels();
    if (p.iVersion == 0) {
        si.iMainDataBegin = int(br.Get(9));
        br.Skip(nch == 1 ? 5 : 3);
        for (int ch = 0; ch < nch; ++ch)
            for (int band = 0; band < 4; ++band)
                si.aScfsi[ch][band] = int(br.Get(1));
    } else {
        si.iMainDataBegin = int(br.Get(8));
        br.Skip(nch == 1 ? 1 : 2);
    }
    for (int gr = 0; gr < p.Granules(); ++gr)
        for (int ch = 0; ch < nch; ++ch)
            if (Result r = ReadGranuleInfo(p, br, si.gr[gr][ch]); r != kDecoded)
                return r;
    return kDecoded;
}

MP3Decoder::Result MP3Decoder::ReadGranuleInfo(const MP3Header& p, MP3BitReader& br, Granule& g)
{
    const MP3BandTable& bands = kMP3Bands[p.RateTableIndex()];
    g.iPart23Length = int(br.Get(12));
    g.iBigValues = int(br.Get(9));
    g.iGlobalGain = int(br.Get(8));
    g.iScalefacCompress = int(br.Get(p.iVersion == 0 ? 4 : 9));
    if ((g.iBigValues << 1) > 576)
        return kBigValuesTooLarge;
    if (br.Get(1)) {
        g.iBlockType = int(br.Get(2));
        g.iMixed = int(br.Get(1));
        if (g.iBlockType == 0)
            return kBadSideInfo; // reserved combination
        for (int i = 0; i < 2; ++i)
            g.aTableSelect[i] = int(br.Get(5));
        g.aTableSelect[2] = 0;
        for (int i = 0; i < 3; ++i)
            g.aSubblockGain[i] = int(br.Get(3));
        if (g.iBlockType == 2 && !g.iMixed)
            g.iRegion1Start = bands.aShort[3] * 3;
        else
            g.iRegion1Start = bands.aLong[8];
        g.iRegion2Start = 576;
    } else {
        g.iBlockType = 0;
        g.iMixed = 0;
        for (int i = 0; i < 3; ++i)
            g.aTableSelect[i] = int(br.Get(5));
        g.aSubblockGain[0] = g.aSubblockGain[1] = g.aSubblockGain[2] = 0;
        int r0 = int(br.Get(4));
        int r1 = int(br.Get(3));
        g.iRegion1Start = bands.aLong[std::min(r0 + 1, 22)];
        g.iRegion2Start = bands.aLong[std::min(r0 + r1 + 2, 22)];
    }
    g.iPreflag = p.iVersion == 0 ? int(br.Get(1)) : 0;
    g.iScalefacScale = int(br.Get(1));
    g.iCount1Table = int(br.Get(1));
    return kDecoded;
}

void MP3Decoder::ReadScalefactors(const MP3Header& p, MP3BitReader& br, int gr, int ch)
{
    const Granule& g = si.gr[gr][ch];
    Scalefactors& s = sf[ch];
    int slen1 = kMP3Slen[0][g.iScalefacCompress];
    int slen2 = kMP3Slen[1][g.iScalefacCompress];
    if (g.iBlockType == 2) {
        int sfb = 0;
        if (g.iMixed) {
            for (; sfb < 8; ++sfb)
                s.aLong[sfb] = uint8_t(br.Get(slen1));
            sfb = 3;
        }
        for (; sfb < 12; ++sfb) {
            int len = sfb < 6 ? slen1 : slen2;
            for (int w = 0; w < 3; ++w)
                s.aShort[sfb][w] = uint8_t(br.Get(len));
        }
        for (int w = 0; w < 3; ++w)
            s.aShort[12][w] = s.aShort[11][w];
    } else {
        static const int aGroupStart[5] = { 0, 6, 11, 16, 21 };
        for (int group = 0; group < 4; ++group) {
            bool bReuse = gr == 1 && si.aScfsi[ch][group];
            int len = group < 2 ? slen1 : slen2;
            for (int sfb = aGroupStart[group]; sfb < aGroupStart[group + 1]; ++sfb)
                if (!bReuse)
                    s.aLong[sfb] = uint8_t(br.Get(len));
        }
        s.aLong[21] = s.aLong[20];
    }
    std::memset(s.aMaxLong, 7, sizeof(s.aMaxLong));
    std::memset(s.aMaxShort, 7, sizeof(s.aMaxShort));
}

void MP3Decoder::ReadScalefactorsLsf(const MP3Header& p, MP3BitReader& br, int ch)
{
    const Granule& g = si.gr[0][ch];
    Scalefactors& s = sf[ch];
    int sfc = g.iScalefacCompress;
    int slen[4] = {};
    int row;
    bool bIntensity = ch == 1 && (p.iModeExt & 1) && p.iMode == 1;
    if (!bIntensity) {
        if (sfc < 400) {
            slen[0] = (sfc >> 4) / 5, slen[1] = (sfc >> 4) % 5;
            slen[2] = (sfc & 15) >> 2, slen[3] = sfc & 3, row = 0;
        } else if (sfc < 500) {
            sfc -= 400;
            slen[0] = (sfc >> 2) / 5, slen[1] = (sfc >> 2) % 5, slen[2] = sfc & 3, row = 1;
        } else {
            sfc -= 500;
            slen[0] = sfc / 3, slen[1] = sfc % 3, row = 2;
            si.gr[0][ch].iPreflag = 1;
        }
    } else {
        aIntensityScale = sfc & 1;
        int isfc = sfc >> 1;
        if (isfc < 180) {
            slen[0] = isfc / 36, slen[1] = (isfc % 36) / 6, slen[2] = (isfc % 36) % 6, row = 3;
        } else if (isfc < 244) {
            isfc -= 180;
            slen[0] = (isfc & 63) >> 4, slen[1] = (isfc & 15) >> 2, slen[2] = isfc & 3, row = 4;
        } else {
            isfc -= 244;
            slen[0] = isfc / 3, slen[1] = isfc % 3, row = 5;
        }
    }
    int kind = g.iBlockType != 2 ? 0 : (g.iMixed ? 2 : 1);
    const uint8_t* counts = kMP3LsfPartitions[row][kind];
    // Values in coded order with their partition's largest value.
    uint8_t aValue[45] = {}, aMax[45] = {};
    int n = 0;
    for (int part = 0; part < 4; ++part)
        for (int i = 0; i < counts[part] && n < 45; ++i, ++n) {
            aValue[n] = uint8_t(br.Get(slen[part]));
            aMax[n] = uint8_t((1 << slen[part]) - 1);
        }
    int k = 0;
    if (kind == 0) {
        for (int sfb = 0; sfb < 21; ++sfb, ++k)
            s.aLong[sfb] = aValue[k], s.aMaxLong[sfb] = aMax[k];
        s.aLong[21] = s.aLong[20], s.aMaxLong[21] = s.aMaxLong[20];
        return;
    }
    int sfb = 0;
    if (kind == 2) {
        for (; sfb < 6; ++sfb, ++k)
            s.aLong[sfb] = aValue[k], s.aMaxLong[sfb] = aMax[k];
        sfb = 3;
    }
    for (; sfb < 12; ++sfb) {
        for (int w = 0; w < 3; ++w, ++k)
            s.aShort[sfb][w] = aValue[k];
        s.aMaxShort[sfb] = aMax[k - 1];
    }
    for (int w = 0; w < 3; ++w)
        s.aShort[12][w] = s.aShort[11][w];
    s.aMaxShort[12] = s.aMaxShort[11];
}

namespace {

// Bits of a window, consumed from the top.
struct MP3Bits {
    uint64_t w;
    int iUsed = 0;
    uint32_t Peek(int n) const { return n ? uint32_t((w << iUsed) >> (64 - n)) : 0; }
    uint32_t Take(int n)
    {
        uint32_t v = Peek(n);
        iUsed += n;
        return v;
    }
    // One bit, taken only when bTake (the sign of a nonzero value).
    uint32_t TakeIf(bool bTake)
    {
        uint32_t v = uint32_t((w << iUsed) >> 63) & uint32_t(bTake);
        iUsed += int(bTake);
        return v;
    }
};

// The value (x << 4 | y) of the next code word, its bits taken.
inline int HuffDecode(MP3Bits& b, const uint32_t* pTable)
{
    uint32_t e = pTable[b.Peek(kMP3HuffPrimaryBits)];
    if (!(e & kMP3HuffLeaf)) {
        b.iUsed += kMP3HuffPrimaryBits;
        e = pTable[(e & 0xFFFFFF) + b.Peek(int(e >> 24))];
    }
    b.iUsed += int((e >> 16) & 0xFF);
    return int(e & 0xFFFF);
}

// |value| with its sign bit: the sign is a plain bit flip, no branch.
inline float Signed(float fAbs, uint32_t uSign)
{
    uint32_t u;
    std::memcpy(&u, &fAbs, 4);
    u ^= uSign << 31;
    std::memcpy(&fAbs, &u, 4);
    return fAbs;
}

} // namespace

// The quantized values go to aXr as integers-in-floats with their sign; the
// requantizer scales them afterwards.
void MP3Decoder::DecodeHuffman(MP3BitReader& br, const Granule& g, size_t uEnd, int ch)
{
    float* xr = aXr[ch];
    const float* pow43 = pTables->aPow43;
    int bigEnd = g.iBigValues * 2;
    int aRegionEnd[3]
        = { std::min(g.iRegion1Start, bigEnd), std::min(g.iRegion2Start, bigEnd), bigEnd };
    int i = 0;
    for (int region = 0; region < 3; ++region) {
        const MP3HuffLookup& h = pTables->aHuff[g.aTableSelect[region]];
        int end = std::max(aRegionEnd[region], i);
        if (!h.pTable) {
            for (; i < end; ++i)
                xr[i] = 0.0f;
            continue;
        }
        int linbits = h.iLinbits;
        for (; i < end; i += 2) {
            MP3Bits b { br.Window() };
            int v = HuffDecode(b, h.pTable);
            int x = v >> 4, y = v & 15;
            if (x == 15 && linbits)
                x += int(b.Take(linbits));
            float fx = Signed(pow43[x], b.TakeIf(x != 0));
            if (y == 15 && linbits)
                y += int(b.Take(linbits));
            float fy = Signed(pow43[y], b.TakeIf(y != 0));
            br.Skip(b.iUsed);
            xr[i] = fx;
            xr[i + 1] = fy;
        }
    }
    const uint32_t* quad = pTables->aQuad[g.iCount1Table].pTable;
    while (i <= 572 && br.Pos() < uEnd) {
        MP3Bits b { br.Window() };
        int v = HuffDecode(b, quad);
        float q[4];
        for (int k = 0; k < 4; ++k) {
            bool bSet = (v >> (3 - k)) & 1;
            q[k] = Signed(bSet ? 1.0f : 0.0f, b.TakeIf(bSet));
        }
        br.Skip(b.iUsed);
        if (br.Pos() > uEnd)
            break; // the last quadruple ran past this granule's data
        for (int k = 0; k < 4; ++k)
            xr[i + k] = q[k];
        i += 4;
    }
    int nonZero = i;
    for (; i < 576; ++i)
        xr[i] = 0.0f;
    while (nonZero > 0 && xr[nonZero - 1] == 0.0f)
        --nonZero;
    aNonZero[ch] = nonZero;
}

void MP3Decoder::Requantize(const Granule& g, int ch)
{
    float* xr = aXr[ch];
    const Scalefactors& s = sf[ch];
    const MP3BandTable& bands = kMP3Bands[iRate];
    const float* pow2 = pTables->aPow2Quarter;
    int shift = g.iScalefacScale ? 4 : 2;
    int base = g.iGlobalGain - 210;
    int n = aNonZero[ch];
    auto scale = [&](int start, int end, int exp4) {
        float f = pow2[std::clamp(exp4 + 400, 0, 511)];
        for (int i = start; i < std::min(end, n); ++i)
            xr[i] *= f;
    };
    int longEnd = g.iBlockType != 2 ? 576 : (g.iMixed ? bands.aShort[3] * 3 : 0);
    for (int sfb = 0; sfb < 22 && bands.aLong[sfb] < longEnd; ++sfb) {
        int sfv = sfb < 21 ? s.aLong[sfb] + (g.iPreflag ? kMP3Pretab[sfb] : 0) : 0;
        scale(bands.aLong[sfb], std::min<int>(bands.aLong[sfb + 1], longEnd), base - shift * sfv);
    }
    if (g.iBlockType != 2)
        return;
    for (int sfb = g.iMixed ? 3 : 0; sfb < 13; ++sfb) {
        int width = bands.aShort[sfb + 1] - bands.aShort[sfb];
        for (int w = 0; w < 3; ++w) {
            int start = bands.aShort[sfb] * 3 + w * width;
            int sfv = sfb < 12 ? s.aShort[sfb][w] : 0;
            scale(start, start + width, base - 8 * g.aSubblockGain[w] - shift * sfv);
        }
    }
}

void MP3Decoder::MidSide(int start, int end)
{
    const float k = 0.70710678118654752f;
    float* l = aXr[0];
    float* r = aXr[1];
    for (int i = start; i < end; ++i) {
        float m = l[i], s = r[i];
        l[i] = (m + s) * k;
        r[i] = (m - s) * k;
    }
}

void MP3Decoder::Stereo(const MP3Header& p, int gr)
{
    bool bMs = (p.iModeExt & 2) != 0;
    int n = std::max(aNonZero[0], aNonZero[1]);
    if (p.iModeExt & 1)
        IntensityStereo(p, gr, bMs);
    else if (bMs)
        MidSide(0, n);
    aNonZero[0] = aNonZero[1] = (p.iModeExt & 1) ? std::max(n, aNonZero[0]) : n;
}

void MP3Decoder::ApplyIntensityBand(
    const MP3Header& p, int start, int width, int isPos, int maxPos, bool bMs)
{
    if (isPos >= maxPos) {
        if (bMs)
            MidSide(start, start + width);
        return;
    }
    const float* k
        = p.iVersion == 0 ? pTables->aIsRatio[isPos] : pTables->aIsLsf[aIntensityScale][isPos & 31];
    float* l = aXr[0];
    float* r = aXr[1];
    for (int i = start; i < start + width; ++i) {
        r[i] = l[i] * k[1];
        l[i] = l[i] * k[0];
    }
}

// The top band (no scalefactor of its own) repeats the intensity position of
// the band below. When the band below is not intensity-coded, its value is a
// scalefactor, not a position: at the lower rates the top band then takes
// position 0 (both channels at the left channel's level), as the standard's
// reference decoder does (the compliance streams test45 and test46 hold it).
// MPEG-1 keeps the repeated value; no reference stream settles that case.
static bool TopBandAlone(const MP3Header& p, int sfb, int firstIs, int topBand)
{
    return p.iVersion != 0 && sfb == topBand && firstIs == topBand;
}

static bool AnyNonZero(const float* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i] != 0.0f)
            return true;
    return false;
}

// Bands of the right channel above its last nonzero band carry intensity
// positions; in short blocks each window is judged on its own.
void MP3Decoder::IntensityStereo(const MP3Header& p, int gr, bool bMs)
{
    const Granule& g = si.gr[gr][1];
    const Scalefactors& s = sf[1];
    const MP3BandTable& bands = kMP3Bands[iRate];
    const float* r = aXr[1];
    int longBands = 22;
    bool bShortNonZero = false;
    if (g.iBlockType == 2) {
        int first = g.iMixed ? 3 : 0;
        for (int w = 0; w < 3; ++w) {
            int last = first - 1;
            for (int sfb = first; sfb < 13; ++sfb) {
                int width = bands.aShort[sfb + 1] - bands.aShort[sfb];
                if (AnyNonZero(r + bands.aShort[sfb] * 3 + w * width, width))
                    last = sfb;
            }
            bShortNonZero |= last >= first;
            for (int sfb = first; sfb < 13; ++sfb) {
                int width = bands.aShort[sfb + 1] - bands.aShort[sfb];
                int start = bands.aShort[sfb] * 3 + w * width;
                if (sfb > last && TopBandAlone(p, sfb, last + 1, 12))
                    ApplyIntensityBand(p, start, width, 0, 1, bMs);
                else if (sfb > last)
                    ApplyIntensityBand(p, start, width, s.aShort[sfb][w], s.aMaxShort[sfb], bMs);
                else if (bMs)
                    MidSide(start, start + width);
            }
        }
        if (!g.iMixed)
            return;
        longBands = p.iVersion == 0 ? 8 : 6;
    }
    int firstIs = longBands;
    if (!bShortNonZero) {
        firstIs = 0;
        for (int sfb = 0; sfb < longBands; ++sfb)
            if (AnyNonZero(r + bands.aLong[sfb], bands.aLong[sfb + 1] - bands.aLong[sfb]))
                firstIs = sfb + 1;
    }
    for (int sfb = 0; sfb < longBands; ++sfb) {
        int start = bands.aLong[sfb], width = bands.aLong[sfb + 1] - start;
        if (sfb >= firstIs && TopBandAlone(p, sfb, firstIs, 21))
            ApplyIntensityBand(p, start, width, 0, 1, bMs);
        else if (sfb >= firstIs)
            ApplyIntensityBand(p, start, width, s.aLong[sfb], s.aMaxLong[sfb], bMs);
        else if (bMs)
            MidSide(start, start + width);
    }
}
