#pragma once

#include "process/LProgressDialog.h"

#include <string>

// A synthesis request: the text spoken with one voice into a WAV file (the
// file LTTSIAudioWavWrite writes).
struct LTTS {
    static constexpr size_t kMaxText = 8192; // characters; the rest is not spoken

    std::string strText; // UTF-8
    std::string strPath; // created, or emptied when it exists
    int iVoice = 0; // position in the engine's voice order
    std::string strError {}; // out: what failed, as shown
};

// 0 spoken to the end; 1 cancelled (the engine is stopped and its thread
// ended before the file is closed, whose header then holds what was
// written); 2 no engine, no such voice, the engine failed or the file could
// not be written, with strError shown.
int ProcessBody(LProgressDialog& dlg, LTTS& data);

// The installed voices in the engine's order; none when the engine does not
// start.
int TTSGetNumSpeakers();
std::string TTSGetDictSpeakerName(int iVoice);

// Characters of a UTF-8 text.
size_t TTSCountCharacters(const std::string& strText);

// The factor the remaining progress shrinks by every 50 ms while a text of
// that many characters is spoken: 1 - 10 / (characters + 1), as for ten
// characters when there are fewer, so progress only grows and stays below 1.
double TTSProgressFactor(size_t iCharacters);

extern const char* const kNoSpeechEngineText;
