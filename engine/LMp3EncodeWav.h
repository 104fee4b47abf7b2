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
    int iExitCode = -1; // out: the encoder's exit code when it ended
};

// 0 when the encoder ended with exit code 0, 1 cancelled, 2 missing, not
// started, timed out or ended with another code. The output is deleted when
// the encoder was stopped; after an exit code other than 0 it is left for
// the caller to judge (an encoder that refused its settings writes none).
int ProcessBody(LProgressDialog& dlg, LMp3EncodeWav& data);

// The encoder's arguments after its path, in order. Paths are made absolute,
// so a file name beginning with "-" is never taken for an option.
std::vector<std::string> Mp3EncoderArguments(const LMp3EncodeWav& data);
// The encoder program, or "" when none is installed.
std::string FindMp3Encoder();

constexpr uint32_t kMp3EncodeTimeoutMs = 360000;
