#pragma once

#include "audio/LSoundSourceBase.h"
#include "engine/LFilePrompts.h"

#include <string>

// The reader for a file, chosen by its extension (case ignored): .wav, .mp3,
// .aif/.aiff, .au, .gsm, .vox/.raw (with the headerless settings). Anything
// else, or a file that does not open, gives a source with its error flag.
SourceHandle OpenSourceByExtension(const std::string& strPath, const LHeaderlessSettings& headerless);
