#pragma once

#include "audio/LSRCFilterBase.h"

// Counts the frames read through it and reports them as its position, with a
// length given by whoever knows how long the upstream's output will be. Puts
// a time stretch, whose own position is in input frames, in front of the
// pump, which ends at the length. Seek maps proportionally to the upstream's
// length. Used on one thread at a time; owns the upstream through its handle.
class LSRCFixedLength : public LSRCFilterBase {
public:
    LSRCFixedLength(SourceHandle hUpstream, int32_t iLength);

    int32_t GetPosition() override { return iPosition; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    int32_t iLength;
    int32_t iPosition = 0;
};
