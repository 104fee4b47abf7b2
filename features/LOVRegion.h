#pragma once

#include "edit/LCutListAudio.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A named stretch of a document with its own copy of that stretch's audio:
// editing or closing the document leaves the region as it is. The stored
// record is 528 bytes; the audio travels beside it in an audio block.
struct LOVRegion {
    static constexpr size_t kRecordSize = 528;
    static constexpr size_t kTextSize = 260;

    std::string szName;
    std::string szFile; // full path of the document it came from; "" if never saved
    int32_t iStart = 0; // milliseconds
    int32_t iEnd = 0;
    LCutListAudio claAudio; // rate and channels are the audio's

    void Store(uint8_t* p) const;
    void Load(const uint8_t* p);
};
