#pragma once

#include "audio/LSoundSourceBase.h"

// The silent error source that every failed open returns: 11025 Hz, mono,
// error flag set, reads zeros, length 0; with the reason a reader gave for
// refusing the file, which GetErrorText says.
class LSRCNull : public LSoundSourceBase {
public:
    explicit LSRCNull(std::string strWhy = {});
    std::string GetErrorText() const override { return strWhy; }
    int32_t GetPosition() override { return 0; }
    int32_t GetLength() override { return 0; }

protected:
    // Never asked: a source in error reads zeros.
    int32_t ReadAudio(int32_t*, int32_t) override { return 0; }

private:
    std::string strWhy;
};
