#pragma once

#include "engine/LFilePrompts.h"
#include "process/LProgressDialog.h"

#include <string>
#include <vector>

// Encodes a PCM WAV file to MP3 with the outside encoder: the program named
// by Components\mp3cmp Path, else "lame" on PATH.
struct LMp3EncodeWav {
    std::string strInput;
    std::string strOutput;
    LMp3EncoderSettings settings;
    std::string strError; // set when the encoder is missing
};

// 0 when the encoder ended, 1 cancelled, 2 missing, not started or timed out.
// The output is deleted on any result but 0.
int ProcessBody(LProgressDialog& dlg, LMp3EncodeWav& data);

// The encoder's arguments after its path, in order.
std::vector<std::string> Mp3EncoderArguments(const LMp3EncodeWav& data);
// The encoder program, or "" when none is installed.
std::string FindMp3Encoder();

constexpr uint32_t kMp3EncodeTimeoutMs = 360000;
