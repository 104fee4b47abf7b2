#pragma once

#include "platform/speech/LSpeechAudio.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The speech engine (espeak-ng): its voices and a synthesizer that speaks
// into an audio destination of the caller.
//
// Threads: the enumerator, Select, TextData and AudioReset are called on
// one thread (the user-interface thread). TextData speaks on an engine
// thread of its own, which calls the destination's Claim, then FreeSpace and
// DataSet for every block of 16-bit samples, then UnClaim, always in that
// order; AudioReset stops it and returns once that thread has ended, so
// after it the destination is touched by nobody. The library is one engine
// per process: one speaking at a time, the others wait for it.

struct LTTSModeInfo {
    std::string strModeName; // the voice's name, as shown to a person
    std::string strIdentifier; // what selects it
};

class LTTSCentral;

// The installed voices in the engine's order.
class LTTSEnum {
public:
    // False when the engine cannot start (its library data is missing).
    bool Create();
    void Reset() { iNext = 0; }
    // The next voice; false after the last.
    bool Next(LTTSModeInfo& mode);
    // A synthesizer speaking with the voice into pAudio, which must outlive
    // it (not owned). The audio is asked for its destination and given the
    // wave format (16-bit mono PCM at the engine's rate) here.
    LResult Select(const LTTSModeInfo& mode, IAudio* pAudio, std::unique_ptr<LTTSCentral>& pOut);

private:
    std::vector<LTTSModeInfo> modes;
    size_t iNext = 0;
};

class LTTSCentral {
public:
    LTTSCentral(LTTSModeInfo mode, IAudio* pAudio, IAudioDest* pDest);
    ~LTTSCentral();
    LTTSCentral(const LTTSCentral&) = delete;
    LTTSCentral& operator=(const LTTSCentral&) = delete;

    // Starts speaking the UTF-8 text on the engine thread and returns. Fails
    // for an empty text or while a text is still being spoken.
    LResult TextData(const std::string& strText);
    // Stops speaking and waits for the engine thread.
    LResult AudioReset();
    // After the destination was unclaimed (or AudioReset): 0, or why the
    // text was not spoken to its end other than a reset (the voice did not
    // load, the destination refused data).
    LResult GetSpeakResult() const { return hrSpeak.load(); }

    // Called by the library on the engine thread with each block of samples;
    // false asks it to stop.
    bool Deliver(const int16_t* pSamples, int iCount);

private:
    void Speak(std::string strText);

    LTTSModeInfo mode;
    IAudio* pAudio;
    IAudioDest* pDest;
    std::thread worker;
    std::atomic<bool> bAbort { false };
    std::atomic<LResult> hrSpeak { kSOk };
};
