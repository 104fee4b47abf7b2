#pragma once

#include "audio/LSoundSourceBase.h"

// A source over a source: takes the upstream's rate, channels, peak bound and
// error flag, and forwards position, length and seek. Processors implement
// ReadAudio, which is asked for every frame: the upstream already reads
// zeros outside its audio. Converters that change rate or length override
// the rest as well. One thread at a time; owns the upstream through its handle.
class LSRCFilterBase : public LSoundSourceBase {
public:
    explicit LSRCFilterBase(SourceHandle hUpstream);

    int32_t GetPosition() override { return hSource->GetPosition(); }
    int32_t GetLength() override { return hSource->GetLength(); }
    void Seek(int32_t iFrame) override { hSource->Seek(iFrame); }

protected:
    SourceHandle hSource;
};
