#pragma once

#include "codecs/gsm/LGSMParams.h"

#include <cstdint>

// GSM 06.10 full-rate synthesis: from one frame's parameters to 160 samples of
// the short-term synthesis filter's output (before any postprocessing). Holds
// the previous frame's decoded log-area ratios, the synthesis filter memory,
// the last 120 samples of the reconstructed residual and the last valid LTP
// lag. One thread at a time.
class LGSMDecoder {
public:
    LGSMDecoder() { Reset(); }
    void Reset();

    void Decode(const LGSMParams& params, int16_t* pSr);

private:
    void LongTermSynthesis(int16_t Ncr, int16_t bcr, const int16_t* pErp, int16_t* pDrp);
    void ShortTermSynthesis(const int16_t* pLARcr, const int16_t* pWt, int16_t* pSr);

    int16_t aLARppPrev[8];
    int16_t aV[9];
    int16_t iNrp;
    // [0, 120): residual history drp[-120..-1]; [120, 160): current subframe.
    int16_t aDrp[160];
};
