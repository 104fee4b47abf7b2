#pragma once

#include <cstdint>

// Tables of MPEG audio Layer III decoding: the fixed ones of ISO/IEC 11172-3
// and 13818-3 (static data beside the code) and the derived ones built once
// per process by MP3LayerTables::InitTables and shared, read-only, by every
// decoder on every thread.

// One Huffman code table as listed in the standard: width x width entries,
// row x then column y, code word and its length (without sign bits).
struct MP3HuffCodes {
    const uint16_t* pCodes;
    const uint8_t* pLens;
    uint8_t bWidth; // 0: table not defined (0, 4 and 14)
    uint8_t bLinbits;
};
extern const MP3HuffCodes kMP3HuffCodes[32];
extern const MP3HuffCodes kMP3QuadCodes[2];

// Scalefactor band boundaries (in lines) for the nine sampling rates, in the
// order 44100, 48000, 32000, 22050, 24000, 16000, 11025, 12000, 8000.
struct MP3BandTable {
    int16_t aLong[23]; // long bands, 0 .. 576
    int16_t aShort[14]; // short bands per window, 0 .. 192
};
extern const MP3BandTable kMP3Bands[9];

// Counts of scalefactors per partition for the lower sampling rates, by the
// scalefac_compress range (rows 0-2, or 3-5 for the intensity-coded right
// channel) and block kind (long, short, mixed).
extern const uint8_t kMP3LsfPartitions[6][3][4];
extern const uint8_t kMP3Pretab[22];
extern const uint8_t kMP3Slen[2][16];
// Half of the prototype of the synthesis window (257 values); the full window
// is built from it with the sign of every other 64-block flipped.
extern const double kMP3SynthProto[257];

// Decoding lookup for one Huffman table: a primary level indexed by the next
// 8 bits, and second levels for longer codes. Entry: leaf flag, bits used at
// that level (bits 16-23) and value (x << 4 | y), or a second-level offset and
// its index width (bits 24-28).
constexpr uint32_t kMP3HuffLeaf = 0x80000000u;
constexpr int kMP3HuffPrimaryBits = 8;
struct MP3HuffLookup {
    const uint32_t* pTable = nullptr; // nullptr: all values are 0
    int iLinbits = 0;
};

class MP3LayerTables {
public:
    // The process-wide instance.
    static MP3LayerTables& Shared();
    // Builds the tables on the first call (thread-safe); true when ready.
    bool InitTables();

    MP3HuffLookup aHuff[32];
    MP3HuffLookup aQuad[2];
    float aPow43[8207]; // |i|^(4/3)
    float aPow2Quarter[512]; // 2^((i - 400) / 4)
    float aAliasCs[8], aAliasCa[8];
    // Long IMDCT: the 18 outputs that determine all 36, by input k.
    alignas(16) float aImdctLong[18][18];
    float aImdctShort[6][12];
    float aWindow[4][36]; // by block type; type 2 uses the first 12
    // Synthesis: 32 independent matrixing values by input k (scaled by 2^19).
    alignas(16) float aSynthMatrix[32][32];
    alignas(16) float aSynthWindow[512];
    // Intensity stereo factors: MPEG-1 by is_pos 0..6, and the lower rates by
    // intensity_scale and is_pos 0..31 (left, right).
    float aIsRatio[7][2];
    float aIsLsf[2][32][2];
    // Short block reordering, per sampling rate: for each line of the
    // reordered spectrum, its line in the coded order (from line 0, and from
    // the start of the short part of a mixed block).
    int16_t aReorder[9][576];

private:
    void Build();
    bool BuildHuffman();
    void BuildTransforms();
    void BuildStereo();
    void BuildReorder();

    bool bReady = false;
    uint32_t* pHuffStore = nullptr;
};
