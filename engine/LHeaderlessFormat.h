#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "engine/LFilePrompts.h"

#include <string>

// The headerless formats of ".vox" and ".raw" files, in the order of the
// "File Properties" list (the value of VoxRawFileFormat).
class LHeaderlessFormat {
public:
    static constexpr int kCount = 7;
    static const char* GetName(int iFormat);

    // Settings\VoxRawSampleRate, VoxRawFileFormat, VoxRawFileChannels.
    static LHeaderlessSettings Load();
    static void Store(const LHeaderlessSettings& s);

    // Format 0 is VOX (mono, at the settings' rate); 1..6 raw data over the
    // whole file at the settings' rate and channels.
    static SourceHandle OpenSource(const std::string& strPath, const LHeaderlessSettings& s);
    // VOX at the settings' rate; raw at iRate with the settings' channels.
    static SinkHandle OpenSink(
        const std::string& strPath, const LHeaderlessSettings& s, int32_t iRate);
};
