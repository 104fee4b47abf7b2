#pragma once

#include "audio/LSoundSinkBase.h"
#include "edit/LCutListAudio.h"
#include "platform/LFile.h"

#include <vector>

// Writes one new cut file and its graph file. When the last handle goes, the
// target list becomes that single cut (its old cuts are released). Nobody
// else may touch the target list until then. A file that cannot be created
// or written sets the error flag with the reason; the cut is then still
// handed over, and whoever drives the writer drops it (which deletes its
// files).
class LSNKCutListAudio : public LSoundSinkBase {
public:
    static constexpr int kGraphBlock = 256;

    LSNKCutListAudio(LCutListAudio& target, int32_t iRate, int iChannels);
    ~LSNKCutListAudio() override;

    void Write(const int32_t* pBuffer, int32_t iFrames) override;
    // Moves the write position; the frames after it are dropped.
    void Seek(int32_t iFrame) override;
    // Writes the last graph record and closes both files.
    bool Close() override;
    // The cut file being written (kSilentCut when none could be had).
    uint16_t GetCut() const { return wCut; }
    // Writes the graph's whole records with each Write (a recording: what a
    // killed program leaves then has the graph of its audio).
    void KeepGraphCurrent() { bGraphCurrent = true; }

private:
    void CheckFiles();
    void FeedGraph(const int32_t* p, int32_t iFrames);
    void WriteRecord();
    void FlushGraph();

    LCutListAudio& target;
    uint16_t wCut;
    LFile aud, grf;
    std::vector<int32_t> peakMax, peakMin;
    int iBlockFill = 0;
    std::vector<uint8_t> graphPending; // records not yet written, one write per 4 KiB
    bool bGraphCurrent = false;
};
