#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "audio/LVoxCodec.h"
#include "platform/LFile.h"

#include <string>
#include <vector>

// Reader of headerless VOX (Dialogic ADPCM) files: mono, the rate given by
// the caller, two samples per byte, the first in the high nibble. A file that
// cannot be opened reads as empty without an error; one of more than
// kMaxFrames samples opens in error. Owns its file; one thread at a time.
class LSRCVOX : public LSoundSourceBase {
public:
    LSRCVOX(const std::string& strPath, int32_t iRate);

    int32_t GetLength() override;
    // Keeps the codec state: ADPCM cannot resume exactly mid-stream.
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    LFile file;
    LVoxCodec codec;
    int iPending = -1; // low nibble waiting from the last byte read
    std::vector<uint8_t> buffer;
};

// Writer of VOX files (mono). A file that cannot be created or written sets
// the error flag with the reason.
class LSNKVOX : public LSoundSinkBase {
public:
    LSNKVOX(const std::string& strPath, int32_t iRate);
    ~LSNKVOX() override;
    void Write(const int32_t* pBuffer, int32_t iFrames) override;
    bool Close() override;

private:
    LFile file;
    LVoxCodec codec;
    int iHalf = -1; // high nibble waiting for its partner
    std::vector<uint8_t> buffer;
};
