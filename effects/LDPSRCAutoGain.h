#pragma once

#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"

#include <array>
#include <cstdint>
#include <vector>

// The automatic gain control's settings, as the command passes them.
struct LAutoGainSettings {
    int32_t iLowHz = 450; // the analysis high-pass
    int32_t iHighHz = 2200; // above it the analysis counts twice
    int iDownBound = 2; // the slow level follows down to -iDownBound dB
    int iUpBound = -8; // and up to -iUpBound dB
    int iThreshold = -9; // the fast deviations' curve: below it a constant boost,
    double dSlope = -0.5; // from it this many dB per dB,
    int iLimit = 2; // and from this relative level 1 dB less per dB
};

// The automatic gain control's second pass: the audio of the first pass read
// back from its file, each block with a gain ramping towards a target set
// from the channel levels the first pass stored. A level tracker looking 50
// blocks ahead follows slow level changes (which the gain removes) and a
// curve compresses fast ones. Reads once from the start; Seek is not
// supported. Used on one thread at a time; owns both files.
class LDPSRCAutoGain : public LSoundSourceBase {
public:
    static constexpr int kLookAhead = 50;

    // References: each channel's level brought to 0 dB. The audio file holds
    // iLength frames in the internal format; the level file one signed byte
    // per channel per block of iBlock frames. bFadeAtEnd fades the last
    // block out (for a range that ends the document).
    LDPSRCAutoGain(int32_t iRate, int iChannels, std::vector<int> references, int32_t iLength,
        LFile audio, LFile levels, int32_t iBlock, const LAutoGainSettings& settings,
        bool bFadeAtEnd);

    int32_t GetLength() override { return iLength; }
    // A file could not be read back: the audio ended early.
    bool HasFailed() const { return bFailed; }

    // The curve of the fast deviations, whole dB for each relative level
    // -128..127.
    static std::array<int8_t, 256> GainCurve(int iThreshold, double dSlope, int iLimit);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    int BlockLevel(int64_t iIndex); // the loudest channel's level less its reference
    void Feed(int iLevel);
    void Advance();
    bool StartBlock();

    std::vector<int> references;
    int32_t iLength;
    LFile audio, levels;
    int32_t iBlock;
    int64_t nBlocks;
    LAutoGainSettings settings;
    bool bFadeAtEnd;
    std::array<int8_t, 256> curve;

    // The tracker: the last 50 relative levels in a ring, counted per level.
    std::array<int, kLookAhead> ring;
    std::array<int, 256> counts {};
    size_t uRing = 0; // the oldest entry: the level of the block going out
    double dTracked = 0;
    int iTracked = 0; // dTracked rounded

    std::vector<uint8_t> levelBytes;
    std::vector<int32_t> block;
    int64_t iBlockIndex = -1;
    int32_t iBlockFrames = 0;
    int32_t iInBlock = 0;
    std::vector<int32_t> gains, steps; // per channel
    bool bFailed = false;
};
