#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"

#include <cstdint>
#include <functional>

// What the record dialog records into: the takes kept so far and the take
// being recorded, both at the document's rate and channels. It starts empty:
// the document changes only when a take brought audio. A take recorded from
// a time keeps the recording up to that time and replaces the rest.
//
// User-interface thread. A sink from OpenSink holds the recording list until
// its last handle goes; until then only TakeProgress, GetSoFar and
// OpenSource may be called.
class LOVRecordInfo {
public:
    LOVRecordInfo(int32_t iRate, int iChannels);

    // The recording so far (see GetSoFar), for playback and the waveform.
    SourceHandle OpenSource();
    // Keeps the first iFromMs of the recording; the sink's frames become the
    // take after them.
    SinkHandle OpenSink(int32_t iFromMs);
    // Kept part and last take as one list.
    const LCutListAudio& GetRecording();
    int32_t GetRate() const { return claRecording.GetSampleRate(); }
    int GetChannels() const { return claRecording.GetChannels(); }

    // From whoever drives the recorder: the take from the last OpenSink holds
    // iFrames now (their audio is in its cut file), or it ended (-1, its sink
    // was released). Calls fnProgress when the take's first audio came, when
    // it ended, and between at most once per second of audio.
    void TakeProgress(int32_t iFrames);
    // The recording as far as it is known: during a take, the kept part and
    // the take up to its last progress.
    LCutListAudio GetSoFar();
    // Hears of the take's progress (the crash journal follows it, so a
    // crash loses at most the last second); may be empty.
    std::function<void()> fnProgress;

private:
    void Merge();

    LCutListAudio claKept, claRecording;
    uint16_t wTake = 0;
    int32_t iTakeFrames = -1; // -1: no take running
    int32_t iToldFrames = 0; // what fnProgress last heard of
};
