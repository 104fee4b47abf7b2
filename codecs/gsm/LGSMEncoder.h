#pragma once

#include "codecs/gsm/LGSMParams.h"

#include <cstdint>

// GSM 06.10 full-rate analysis: from 160 preprocessed samples (the codec's
// 16-bit working range) to one frame's parameters. Holds the state carried
// from frame to frame: the previous frame's decoded log-area ratios, the
// short-term analysis filter memory and the last 120 samples of the
// reconstructed short-term residual. One thread at a time.
class LGSMEncoder {
public:
    LGSMEncoder() { Reset(); }
    void Reset();

    // pS (160 samples) is used as working space and holds the short-term
    // residual afterwards.
    void Encode(int16_t* pS, LGSMParams& params);

private:
    static void Autocorrelation(int16_t* pS, int32_t* pACF);
    static void Reflection(const int32_t* pACF, int16_t* pR);
    static void QuantizeLar(const int16_t* pR, int16_t* pLARc);
    void ShortTermAnalysis(const int16_t* pLARc, int16_t* pS);
    void Subframe(const int16_t* pD, int j, LGSMParams& params);
    void LtpParameters(const int16_t* pD, int16_t& Nc, int16_t& bc) const;
    static void Weighting(const int16_t* pE, int16_t* pX);
    static void ApcmQuantize(
        const int16_t* pXM, int16_t& xmaxc, int16_t* pXMc, int16_t& exp, int16_t& mant);

    int16_t aLARppPrev[8];
    int16_t aU[8];
    // [0, 120): residual history dp[-120..-1]; [120, 160): the subframe
    // being built.
    int16_t aDp[160];
};
