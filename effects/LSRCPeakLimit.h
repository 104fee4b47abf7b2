#pragma once

#include "audio/LSRCFilterBase.h"

#include <vector>

// Look-ahead peak limiter: keeps every output sample within the limit by a
// gain per block that starts falling two blocks before a loud block is
// output. Material below the limit passes bit-exactly.
class LSRCPeakLimit : public LSRCFilterBase {
public:
    static constexpr int32_t kMaxLimit = 0x3FFFFF;

    LSRCPeakLimit(SourceHandle hUpstream, int32_t iLimit);

    // The upstream itself when its peak bound is within 0x7FFF0, else a
    // limiter at 0x7FFF0.
    static SourceHandle OpenSource(SourceHandle hUpstream);

    int32_t GetPosition() override;
    void Seek(int32_t iFrame) override;

    int32_t GetBlockFrames() const { return iBlock; }

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    void Start();
    void NextBlock();
    int32_t BlockGain(const std::vector<int32_t>& block) const;
    void SetRamp();
    // The next block from upstream into block; upstream is read iStaged
    // blocks at a time (fewer, larger reads of the working files), at most
    // 8192 frames, the most a stream is ever asked for at once.
    void ReadBlock(std::vector<int32_t>& block);

    int32_t iLimit;
    int32_t iBlock;
    int32_t iIndex = 0;
    bool bStarted = false;
    std::vector<int32_t> buffers[3]; // current, next, newest
    int32_t iStaged = 1;
    std::vector<int32_t> staged; // iStaged blocks read ahead
    int32_t iStagedLeft = 0; // of them, blocks not yet taken
    int32_t aGain[4] = {}; // previous, current, next, newest
    int32_t iG = 0x1000000;
    int32_t iStep = 0;
};
