#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "effects/LDPSRCAutoGain.h"
#include "platform/LFile.h"
#include "process/LProgressDialog.h"

#include <array>
#include <vector>

// Automatic gain control of a whole source into a sink, in two passes driven
// one block at a time by Step. The first pass stores the audio and each
// block's channel levels (measured through an analysis filter stressing the
// frequencies speech carries) in two private files of the audio working
// folder, unlinked at once so that nothing is left behind on any way out,
// and counts the levels per channel; their distribution gives each channel
// the reference level brought to 0 dB. The second pass reads the files back
// through LDPSRCAutoGain and a peak limiter into the sink. Used on one thread
// (the operation's); the caller keeps the sink alive; owns the files.
class LDPAutoGain {
public:
    enum Result { kMore, kDone, kFailed };

    // bFadeAtEnd: the range ends the document, so its last block fades out.
    LDPAutoGain(SourceHandle hSource, LSoundSinkBase& sink, bool bFadeAtEnd,
        const LAutoGainSettings& settings = {});

    // False when the files could not be made; nothing is done then.
    bool IsReady() const { return bReady; }
    // The reason of a failure (errno), 0 when none is known.
    int GetErrno() const { return iErrno; }

    // One block of the current pass.
    Result Step();
    // Of both passes, 0..1.
    double GetProgress() const;

    const std::vector<int>& GetReferences() const { return references; }

    using Histogram = std::array<int64_t, 256>;
    // The reference of one channel from its count of blocks per level
    // (-128..127): the median of the levels within 15 dB of the loudest
    // eighth.
    static int ReferenceLevel(const Histogram& counts);

private:
    Result FirstPassBlock();
    Result StartSecondPass();
    Result SecondPassBlock();
    Result Fail(int iError);

    SourceHandle hSource;
    LSoundSinkBase& sink;
    bool bFadeAtEnd;
    LAutoGainSettings settings;
    bool bReady = false;
    int iErrno = 0;
    int32_t iBlock;
    int32_t iLength;
    int32_t iDone = 0;
    bool bSecondPass = false;
    LFile audio, levels;
    std::array<int32_t, 2> analysis; // the high-pass and the high shelf coefficients
    std::vector<std::array<int64_t, 2>> states; // per channel
    std::vector<Histogram> histograms; // per channel
    std::vector<int> references;
    std::vector<int32_t> buffer, filtered;
    std::vector<uint8_t> pendingLevels;
    LHandle<LDPSRCAutoGain> hSecond;
    SourceHandle hOutput;
};

// The command: the range [iStart, iEnd) of the document through the
// automatic gain control, in place of itself. Its length does not change.
struct EfAutoGainControl {
    LCutListAudio* pDoc = nullptr;
    int32_t iEnd = 0;
    int32_t iStart = 0;
};

// 0 done (an empty range changes nothing), 1 cancelled, 2 failed; the
// document changes only on 0.
int ProcessBody(LProgressDialog& dlg, EfAutoGainControl& data);
