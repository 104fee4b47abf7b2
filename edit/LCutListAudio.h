#pragma once

#include "edit/LAudioCut.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A document's audio: the concatenation of its cuts. Every edit rearranges,
// splits, shares or re-weights cuts; no audio is touched. Positions and
// lengths are frames; ranges are [start, end). Used on one thread at a time
// (readers take private copies).
class LCutListAudio {
public:
    LCutListAudio() = default;
    LCutListAudio(int32_t iRate, int iChannels)
        : iSampleRate(iRate)
        , bChannels(uint8_t(iChannels))
    {
    }

    int32_t GetSampleRate() const { return iSampleRate; }
    int GetChannels() const { return bChannels; }
    void SetFormat(int32_t iRate, int iChannels);
    const std::vector<LAudioCut>& GetCuts() const { return cuts; }
    void Clear() { cuts.clear(); }
    // Makes the list one cut (used by the writer when it finishes).
    void SetSingleCut(LAudioCut cut);

    int32_t GetTotalLength() const;

    void EfDelete(int32_t iStart, int32_t iEnd);
    void EfCopy(int32_t iStart, int32_t iEnd, LCutListAudio& dest) const;
    void EfCut(int32_t iStart, int32_t iEnd, LCutListAudio& dest);
    void EfInsert(int32_t iPos, const LCutListAudio& src);
    void EfInsertSilence(int32_t iPos, int32_t iFrames);
    void EfReplace(int32_t iStart, int32_t iEnd, const LCutListAudio& src);
    void EfSilence(int32_t iStart, int32_t iEnd);
    void EfTrim(int32_t iStart, int32_t iEnd);
    void EfDeleteBefore(int32_t iFrame);
    void EfDeleteAfter(int32_t iFrame);
    void EfRepeat(int32_t iStart, int32_t iEnd, int iCount);
    void EfAmplify(int32_t iStart, int32_t iEnd, int iPercent);
    void EfAmplifyAll(int iPercent);
    // Multiplies the gains of the range's cuts by iGain (LAudioCut's scale,
    // kUnityGain = 1), each held within the 32-bit gain range.
    void EfGain(int32_t iStart, int32_t iEnd, int32_t iGain);

private:
    // Index of the cut that starts at iPos, splitting a cut when iPos falls
    // inside it; cuts.size() when iPos is at or past the end.
    size_t SplitAt(int32_t iPos);
    void InsertCuts(int32_t iPos, std::vector<LAudioCut> newCuts);

    int32_t iSampleRate = 44100;
    uint8_t bChannels = 1;
    std::vector<LAudioCut> cuts;
};
