#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"

#include <cstdint>

// What the record dialog records into: the takes kept so far and the take
// being recorded, both at the document's rate and channels. It starts empty:
// the document changes only when a take brought audio. A take recorded from
// a time keeps the recording up to that time and replaces the rest.
//
// User-interface thread. A sink from OpenSink holds the recording list until
// its last handle goes; no other call may come before that.
class LOVRecordInfo {
public:
    LOVRecordInfo(int32_t iRate, int iChannels);

    // The whole recording, for playback and the waveform.
    SourceHandle OpenSource();
    // Keeps the first iFromMs of the recording; the sink's frames become the
    // take after them.
    SinkHandle OpenSink(int32_t iFromMs);
    // Kept part and last take as one list.
    const LCutListAudio& GetRecording();
    int32_t GetRate() const { return claRecording.GetSampleRate(); }
    int GetChannels() const { return claRecording.GetChannels(); }

private:
    void Merge();

    LCutListAudio claKept, claRecording;
};
