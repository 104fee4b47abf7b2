#pragma once

#include <cstdint>

// Steps that the GSM 06.10 encoder runs as its local decoder and the decoder
// runs as itself: log-area ratio decoding and interpolation, conversion to
// reflection coefficients, and APCM inverse quantisation of the RPE pulses.
struct LGSMCommon {
    // LTP gain levels for the decoded gain code.
    static const int16_t kQLB[4];

    // Short-term filter segments of a frame: [kSegStart[i], kSegStart[i+1]).
    static const int kSegStart[5];

    // Coded log-area ratios -> decoded ratios (LARpp).
    static void DecodeLar(const int16_t* pLARc, int16_t* pLARpp);
    // Reflection coefficients for segment iSeg, interpolated between the
    // previous frame's ratios and this frame's.
    static void SegmentRp(const int16_t* pPrev, const int16_t* pCur, int iSeg, int16_t* pRp);

    // Exponent and mantissa (0..7) of a coded block amplitude.
    static void ExpMant(int16_t xmaxc, int16_t& exp, int16_t& mant);
    // 13 coded pulses -> reconstructed pulse amplitudes.
    static void ApcmInverse(const int16_t* pXMc, int16_t exp, int16_t mant, int16_t* pXMp);
    // Places the 13 pulses on grid Mc of a 40-sample excitation.
    static void GridPosition(int16_t Mc, const int16_t* pXMp, int16_t* pEp);
};
