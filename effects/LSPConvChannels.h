#pragma once

#include "audio/LSRCFilterBase.h"

#include <vector>

// Mono to stereo (each sample to both channels) and stereo to mono (the left
// channel).
class LSPConvChannels : public LSRCFilterBase {
public:
    LSPConvChannels(SourceHandle hUpstream, int iTargetChannels);

    // Converts only 1 -> 2 and 2 -> 1; anything else returns the source.
    static SourceHandle OpenSource(SourceHandle hUpstream, int iTargetChannels);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    int iFromChannels;
    std::vector<int32_t> buffer;
};
