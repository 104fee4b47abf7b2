#pragma once

#include "audio/LSoundSourceBase.h"
#include "codecs/gsm/LGSMFrame.h"
#include "platform/LFile.h"

#include <string>

// Reader of ".gsm" files: headerless 33-byte GSM 06.10 full-rate frames,
// 8000 Hz mono. Decodes with the program's own output filter, so samples
// reach twice full scale (peak bound 0xFFFE0). A trailing partial frame is
// ignored; a file of more than kMaxFrames samples opens in error. Owns its
// file; used by one thread at a time.
class LGSMFileSource : public LSoundSourceBase {
public:
    static constexpr uint32_t kPeak = 0xFFFE0;

    // A file that cannot be opened leaves the error flag set and length 0.
    explicit LGSMFileSource(const std::string& strPath);

    int32_t GetLength() override { return iLength; }
    // Restarts decoding at the frame holding iFrame, without the history of
    // earlier frames.
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    // Reads and decodes the next file frame; a short read decodes as silence.
    void DecodeNext(int32_t* pOut);

    LFile file;
    LGSMFrame codec;
    int32_t aBuffer[LGSMFrame::kSamples];
    int32_t iNext = LGSMFrame::kSamples; // next undelivered sample of aBuffer
    int32_t iLength = 0;
};
