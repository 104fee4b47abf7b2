#pragma once

#include "audio/LSRCFilterBase.h"

// Speed and pitch together: the upstream converted to rate F / f and
// presented at its own rate F, so that played at F it runs f times faster
// and sounds f times higher. Position and length are the converted stream's,
// in its frames. Used on one thread at a time; owns the chain through its
// handle.
class LSRCSimpleSpeed : public LSRCFilterBase {
public:
    // f below 0.1 counts as 0.1.
    static SourceHandle OpenSource(SourceHandle hUpstream, double dFactor);

    // The rate the upstream is converted to: truncation of F / f.
    static int32_t ConvertedRate(int32_t iRate, double dFactor);

    // A converted stream relabelled with the rate iRate (use OpenSource).
    LSRCSimpleSpeed(SourceHandle hConverted, int32_t iRate);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override
    {
        hSource->Read(pBuffer, iFrames);
        return iFrames;
    }
};
