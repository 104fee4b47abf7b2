#pragma once

#include <cstdint>

class LOVFile;

// What the main window's commands ask of playback. LTransport implements it
// over the sound player; a controller without sound uses LNoPlayback.
class LPlaybackControl {
public:
    enum Speed { kSlow = 0, kNormal = 1, kFast = 2 };

    virtual ~LPlaybackControl() = default;
    virtual void Stop() = 0;
    // Plays the document from iFrom, or its selection when that is valid
    // (playback after an edit).
    virtual void Play(LOVFile& doc, int32_t iFrom) = 0;

    // The transport commands on the current document.
    virtual bool IsOpen() const { return false; }
    virtual bool IsCued() const { return false; }
    // Play (3002): from the position, the selection when valid; false when
    // the device did not open.
    virtual bool PlayCommand(LOVFile& doc, bool bKeepPosition) { return false; }
    virtual void SetSpeed(Speed e) { }
    virtual void Scrub(LOVFile& doc) { }
    virtual void GoToStart(LOVFile& doc) { }
    virtual void GoToEnd(LOVFile& doc) { }
    // Rewind / Fast Forward while the button or key is held.
    virtual void StartScan(LOVFile& doc, bool bForward) { }
    virtual void EndScan(LOVFile& doc) { }
};

class LNoPlayback : public LPlaybackControl {
public:
    void Stop() override { }
    void Play(LOVFile&, int32_t) override { }
};
