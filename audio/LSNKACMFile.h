#pragma once

#include "audio/LSoundSinkBase.h"
#include "platform/LFile.h"
#include "platform/acm/LAcm.h"

#include <string>
#include <vector>

// Writer of a WAV file in any format the codec manager can encode 16-bit PCM
// into. The header carries the format exactly as given (with its extra
// bytes) and 0xFFFFFFFF sizes until the last handle goes; the destructor then
// flushes the codec and writes the true sizes (as RF64 past 4 GiB). No
// "fact" chunk, no padding.
// A codec that cannot be opened sets the error flag; a file that cannot be
// created or written sets the error flag with the reason. One thread at a
// time.
class LSNKACMFile : public LSoundSinkBase {
public:
    LSNKACMFile(const std::string& strPath, const LWaveFormat& format);
    ~LSNKACMFile() override;
    LSNKACMFile(const LSNKACMFile&) = delete;
    LSNKACMFile& operator=(const LSNKACMFile&) = delete;

    void Write(const int32_t* pBuffer, int32_t iFrames) override;
    // Flushes the codec, writes the true sizes and closes the file.
    bool Close() override;

private:
    bool CheckFile();

    LFile file;
    LWaveFormat wf;
    HACMSTREAM has = nullptr;
    ACMSTREAMHEADER ash;
    std::vector<uint8_t> vSrc; // 16-bit PCM, 8192 frames
    uint32_t cbSrc = 0;
    uint32_t cbSrcFill = 0;
    std::vector<uint8_t> vDst;
    uint32_t cbDst = 0;
    int64_t iCompressedBytes = 0;

    bool OpenStream();
    // The header of LWaveHeader::Build at offset 0 (RF64 past 4 GiB).
    void WriteHeader(int64_t iDataBytes);
    // Converts the filled source bytes; false when the codec took nothing
    // from a full buffer or failed.
    bool Convert(uint32_t fdwConvert);
};
