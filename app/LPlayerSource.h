#pragma once

#include "audio/LSoundSourceBase.h"

#include <cstdint>
#include <string>

// What a player panel plays: a name the user may edit and a source opened
// afresh for every start.
class LPlayerSource {
public:
    static constexpr uint16_t kNameReadOnly = 0x01, kNameChanged = 0x02, kCloseAfterPlay = 0x10,
                              kPreviousTrack = 0x20, kNextTrack = 0x40;

    virtual ~LPlayerSource() = default;
    // A new source at frame 0; one with its error flag set is not played.
    virtual void OpenSource(SourceHandle& hSource) = 0;

    uint16_t wFlags = 0;
    std::string szName;
};
