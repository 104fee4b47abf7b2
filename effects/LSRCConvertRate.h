#pragma once

#include "audio/LSRCFilterBase.h"

// Placeholder until the sample-rate converter lands: the factory returns the
// source unchanged, so callers see the rate still differs and refuse.
class LSRCConvertRate {
public:
    static SourceHandle OpenSource(SourceHandle hSource, int32_t iRate) { return hSource; }
};
