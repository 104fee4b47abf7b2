#pragma once

#include "audio/LSoundSourceBase.h"
#include "engine/LFilePrompts.h"

#include <string>

// The reader for a file, chosen by its extension (case ignored) from the
// rows of LFileFormats; headerless types read with the given settings; the
// types of an outside decoder are decoded first (a progress view of its own,
// the temporary WAV deleted with the reader). Any other extension, or a file
// that does not open, gives a source with its error flag.
SourceHandle OpenSourceByExtension(
    const std::string& strPath, const LHeaderlessSettings& headerless);
