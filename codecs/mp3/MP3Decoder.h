#pragma once

#include "codecs/mp3/MP3Header.h"
#include "codecs/mp3/MP3Tables.h"

#include <cstddef>
#include <cstdint>

// MPEG-1, MPEG-2 and MPEG-2.5 audio Layer III frame decoder (ISO/IEC 11172-3
// and 13818-3). All state lives in this object: the bit reservoir, the IMDCT
// overlap and the synthesis filter history; nothing is allocated per frame.
// The caller finds frames (header search, file or stream handling) and hands
// each frame's body in. One thread at a time per decoder; the shared tables
// are read-only.
class MP3Decoder {
public:
    enum Result {
        kDecoded = 0, // pOut holds SamplesPerFrame() frames
        kBadSideInfo = 1, // frame unusable; nothing written, state kept
        kBigValuesTooLarge = 2, // as kBadSideInfo: big_values * 2 above 576
    };

    MP3Decoder();

    // False when the shared tables could not be built.
    bool IsReady() const { return pTables != nullptr; }
    // Forgets the reservoir, the overlap and the filter history (after a seek).
    void Reset();
    // Plain scalar loops instead of the vector ones (tests run both).
    void SetScalar(bool b) { bScalar = b; }

    // pBody: the bytes after the header and CRC (side information and main
    // data), nBytes of them. pOut receives SamplesPerFrame() frames of
    // params.Channels() interleaved samples, full scale 1.0 at 0x80000, each
    // limited to +-0x200000. A frame whose main data reaches back further
    // than the reservoir holds (the first frames after a seek) decodes as
    // silence but still fills the reservoir.
    Result DecodeFrame(const MP3Header& params, const uint8_t* pBody, int nBytes, int32_t* pOut);

private:
    struct Granule {
        int iPart23Length;
        int iBigValues;
        int iGlobalGain;
        int iScalefacCompress;
        int iBlockType;
        int iMixed;
        int aTableSelect[3];
        int aSubblockGain[3];
        int iRegion1Start; // lines
        int iRegion2Start;
        int iPreflag;
        int iScalefacScale;
        int iCount1Table;
    };
    struct SideInfo {
        int iMainDataBegin;
        int aScfsi[2][4];
        Granule gr[2][2];
    };
    // Scalefactors of one channel; index 21 (long) and 12 (short) repeat the
    // band below for intensity positions.
    struct Scalefactors {
        uint8_t aLong[22];
        uint8_t aShort[13][3];
        // Largest (illegal) intensity position per band, lower rates.
        uint8_t aMaxLong[22];
        uint8_t aMaxShort[13];
    };

    Result ReadSideInfo(const MP3Header& p, const uint8_t* pBody, int nBytes);
    Result ReadGranuleInfo(const MP3Header& p, class MP3BitReader& br, Granule& g);
    void ReadScalefactors(const MP3Header& p, MP3BitReader& br, int gr, int ch);
    void ReadScalefactorsLsf(const MP3Header& p, MP3BitReader& br, int ch);
    void DecodeHuffman(MP3BitReader& br, const Granule& g, size_t uEnd, int ch);
    void Requantize(const Granule& g, int ch);
    void Stereo(const MP3Header& p, int gr);
    void IntensityStereo(const MP3Header& p, int gr, bool bMs);
    void ApplyIntensityBand(
        const MP3Header& p, int start, int width, int isPos, int maxPos, bool bMs);
    void MidSide(int start, int end);
    void Reorder(const Granule& g, int ch);
    void AliasReduce(const Granule& g, int ch);
    void Hybrid(const Granule& g, int ch);
    void HybridLongScalar(int sb, int blockType, int ch);
    void HybridLongVector(int sbFrom, int sbTo, int blockType, int ch);
    void HybridShort(int sb, int ch);
    void Synthesize(int ch, int32_t* pOut, int nChannels);
    void SynthStepScalar(const float* pIn, float* pV, int ch, int32_t* pOut, int nChannels);
    void SynthStepVector(const float* pIn, float* pV, int ch, int32_t* pOut, int nChannels);
    void DecodeGranules(const MP3Header& p, const uint8_t* pMain, int nMain, int32_t* pOut);

    const MP3LayerTables* pTables = nullptr;
    bool bScalar = false;
    int iRate = 0; // table index of the frame being decoded

    SideInfo si {};
    Scalefactors sf[2] {};
    int aIntensityScale = 0;
    // Spectrum of the granule being decoded, and the count of lines up to the
    // last nonzero one per channel.
    alignas(16) float aXr[2][576 + 4];
    int aNonZero[2] = {};
    // Hybrid output, [time][subband], ready for the filter bank.
    alignas(16) float aHybrid[18][32];
    alignas(16) float aOverlap[2][18][32];
    // Synthesis history: 16 vectors of 64 per channel, newest at iSynthPos.
    alignas(16) float aSynthV[2][16][64];
    int iSynthPos = 0;
    // Bit reservoir: the main data of the previous frames, the current frame
    // appended. 511 bytes of history at most plus one frame.
    uint8_t aResv[511 + 2048 + 8];
    int iResvLen = 0;
};
