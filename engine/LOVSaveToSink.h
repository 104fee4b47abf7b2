#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "engine/LFilePrompts.h"
#include "process/LProgressDialog.h"

#include <cstdint>
#include <optional>
#include <string>

// Writes a cut list to a file in the format its extension names.
struct LOVSaveToSink {
    enum PromptMode : uint32_t {
        kPcmWithoutAsking = 0, // Save: 16-bit PCM WAV
        kAsk = 1, // Save As: the chooser, "File Properties", encoder settings
        kLastChoice = 2, // any other value: the stored choices without asking
    };
    const LCutListAudio* pSource = nullptr;
    std::string strPath;
    uint32_t uPromptMode = kPcmWithoutAsking;
    LFilePrompts* pPrompts = nullptr;
    std::string strError; // the text shown when the file could not be made
    // The rate and channels to write, 0 = the list's own; the pump converts
    // on the way, so the list itself is never converted for it.
    int32_t iRate = 0;
    int iChannels = 0;
    // Written instead of the list when set: a file converted straight from
    // its reader, without an edit store in between.
    SourceHandle hStream;
    // Answers fixed by the caller (the command line): used as they stand for
    // the file type they belong to, without asking or storing anything.
    std::optional<LWaveFormat> fixedWavFormat;
    std::optional<LHeaderlessSettings> fixedHeaderless;
    std::optional<LMp3EncoderSettings> fixedMp3;
};

// 0 saved, 1 cancelled, 2 failed or a dialog cancelled. The file is written
// beside the target and put in its place only when complete, so a failed or
// cancelled save leaves an existing file as it was. The source list is never
// changed.
int ProcessBody(LProgressDialog& dlg, LOVSaveToSink& data);
