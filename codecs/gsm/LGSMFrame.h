#pragma once

#include "codecs/gsm/LGSMDecoder.h"
#include "codecs/gsm/LGSMEncoder.h"
#include "codecs/gsm/LGSMParams.h"

#include <cstdint>

// One GSM 06.10 full-rate codec channel: encoder and decoder state plus the
// filters around the codec core. Two kinds of edges are offered:
//  - Normal: internal samples (16 x the 16-bit scale). The input filter is a
//    DC-removing high-pass (pole 1 - 1/1024) and pre-emphasis by 880/1024; the
//    output filter de-emphasises by 880/1024 and does not clip, so decoded
//    samples reach twice full scale. Used by ".gsm" files.
//  - Standard: 16-bit PCM with the standard's own preprocessing (13-bit
//    input, offset compensation, pre-emphasis) and postprocessing
//    (de-emphasis, 13-bit output); bit-exact with other conforming codecs.
//    Used by the WAV codec.
// Encoder and decoder are independent; one thread at a time.
class LGSMFrame {
public:
    static constexpr int kSamples = 160;
    static constexpr int kBytes = 33;
    // Largest magnitude DecodeNormal delivers.
    static constexpr int32_t kNormalPeak = 0xFFFE0;

    LGSMFrame() { Reset(); }
    void Reset();
    void ResetEncoder();
    void ResetDecoder();

    // 160 internal samples -> one 33-byte frame.
    void EncodeNormal(const int32_t* pIn, uint8_t* pOut);
    // One 33-byte frame -> 160 internal samples.
    void DecodeNormal(const uint8_t* pIn, int32_t* pOut);

    // 160 16-bit samples <-> parameters, standard pre- and postprocessing.
    void EncodeStandard(const int16_t* pIn, LGSMParams& params);
    void DecodeStandard(const LGSMParams& params, int16_t* pOut);
    // The same with the 33-byte frame.
    void EncodeStandard(const int16_t* pIn, uint8_t* pOut);
    void DecodeStandard(const uint8_t* pIn, int16_t* pOut);

private:
    LGSMEncoder enc;
    LGSMDecoder dec;
    // Normal input filter: high-pass accumulator (x 1024), previous input,
    // previous high-pass output.
    int64_t iHpAcc;
    int32_t iPrevIn;
    int32_t iPrevHp;
    // Normal output filter: previous output.
    int32_t iPrevOut;
    // Standard preprocessing: offset compensation memories, pre-emphasis memory.
    int16_t z1;
    int32_t L_z2;
    int16_t mp;
    // Standard postprocessing: de-emphasis memory.
    int16_t msr;
};
