#pragma once

#include "audio/LSoundSinkBase.h"
#include "codecs/gsm/LGSMFrame.h"
#include "platform/LFile.h"

#include <string>

// Writer of ".gsm" files: 8000 Hz mono internal samples coded into 33-byte
// GSM 06.10 full-rate frames with the program's own input filter. The
// destructor pads a partly filled last frame with zeros, writes it and closes
// the file, so a file always holds whole frames. Cannot be repositioned. Owns
// its file; used by one thread at a time.
class LGSMFileSink : public LSoundSinkBase {
public:
    // A file that cannot be created or written leaves the error flag set;
    // writes are then counted and discarded.
    explicit LGSMFileSink(const std::string& strPath);
    ~LGSMFileSink() override;

    void Write(const int32_t* pBuffer, int32_t iFrames) override;
    void Seek(int32_t iFrame) override;
    // Writes the padded last frame and closes the file.
    bool Close() override;

private:
    void Encode(const int32_t* pIn);
    void Flush();

    // Frames are collected and written in runs, not one call per frame.
    static constexpr int kRun = 64;

    LFile file;
    LGSMFrame codec;
    int32_t aPending[LGSMFrame::kSamples];
    int32_t iFill = 0;
    uint8_t aOut[LGSMFrame::kBytes * kRun];
    int iOutFrames = 0;
};
