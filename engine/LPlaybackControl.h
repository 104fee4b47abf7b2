#pragma once

#include <cstdint>

class LOVFile;

// What the editing commands ask of playback. The player implements it; a
// controller without sound uses LNoPlayback.
class LPlaybackControl {
public:
    virtual ~LPlaybackControl() = default;
    virtual void Stop() = 0;
    // Plays the document from iFrom, or its selection when that is valid.
    virtual void Play(LOVFile& doc, int32_t iFrom) = 0;
};

class LNoPlayback : public LPlaybackControl {
public:
    void Stop() override {}
    void Play(LOVFile&, int32_t) override {}
};
