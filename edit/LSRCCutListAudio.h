#pragma once

#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "platform/LFile.h"

// Reads the audio of a cut list: a private copy taken at construction, so the
// document may change while this reader plays or saves the old state.
// Peak bound 0x200000 (gains may raise the level). One thread at a time; the
// cut files it reads are held by its copy of the list.
class LSRCCutListAudio : public LSoundSourceBase {
public:
    explicit LSRCCutListAudio(const LCutListAudio& list);

    int32_t GetLength() override { return iLength; }
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    // Makes cut uIndex current, iSkip frames into it.
    void EnterCut(size_t uIndex, int32_t iSkip);

    LCutListAudio list;
    int32_t iLength;
    size_t uCut = 0; // current cut
    int32_t iLeft = 0; // frames left in it
    int32_t iGain = LAudioCut::kUnityGain;
    LFile file; // its file, closed for silence
    bool bStarted = false;
};
