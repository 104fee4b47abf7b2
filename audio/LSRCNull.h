#pragma once

#include "audio/LSoundSourceBase.h"

// The silent error source that every failed open returns: 11025 Hz, mono,
// error flag set, reads zeros, length 0.
class LSRCNull : public LSoundSourceBase {
public:
    LSRCNull();
    void Read(int32_t* pBuffer, int32_t iFrames) override;
    int32_t GetPosition() override { return 0; }
    int32_t GetLength() override { return 0; }
};
