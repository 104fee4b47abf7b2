#pragma once

#include "edit/LCutListAudio.h"
#include "effects/LLoudnessMeter.h"

#include <QLabel>
#include <memory>

class LLoudnessWorker;

// The status bar's "Loudness" field: the current document's integrated
// loudness, loudness range and true peak. Measured on a worker thread from a
// copy of the document's cut list each time the audio changes, so a long
// file never holds up the window; a newer request stops the older one and a
// result that is no longer current is dropped. Used on the user-interface
// thread; the worker owns the reader it is given and the field releases it
// after the worker has ended.
class LLoudnessStatus : public QLabel {
public:
    explicit LLoudnessStatus(QWidget* pParent = nullptr);
    ~LLoudnessStatus() override;

    // Measures the audio unless it is what was measured last; null clears
    // the field.
    void Measure(const LCutListAudio* pAudio);

private:
    void Show(unsigned uRequest, const LLoudness& result);

    std::unique_ptr<LLoudnessWorker> pWorker;
    LCutListAudio last; // the audio of the latest request
    bool bHaveLast = false;
    unsigned uRequest = 0; // counts requests; a result carries its own
};
