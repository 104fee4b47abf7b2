#pragma once

#include "audio/LSoundSourceBase.h"
#include "engine/LFileFormats.h"
#include "process/LProgressDialog.h"

#include <string>

// Files of the types read through an outside decoder (a row with fnDecode):
// the decoder writes a temporary 16-bit PCM WAV in the Current folder, named
// after the input without its extension and ".wav" (a file left there by an
// earlier run is deleted first), and the reader over it deletes it when its
// last handle is released.

// The temporary WAV an input decodes into.
std::string DecodedWavPath(const std::string& strPath);

// Decodes through the row's decoder with dlg's progress and Cancel and opens
// the result. 0 with hOut set; 1 cancelled, 2 failed, either with no
// temporary file left.
int OpenDecodedSource(LProgressDialog& dlg, const LFileFormat& format, const std::string& strPath,
    SourceHandle& hOut);
