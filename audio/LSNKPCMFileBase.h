#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"

#include <string>
#include <vector>

// Writer of a PCM WAV file with the 46-byte header. While open the header
// carries 0xFFFFFFFF sizes (readers then take the data to the end of the
// file); the true sizes are written when the last handle goes.
class LSNKPCMFileBase : public LSoundSinkBase {
public:
    static constexpr int kHeaderBytes = 46;

    // iStartFrame > 0 keeps the existing audio up to that frame and
    // continues from there.
    LSNKPCMFileBase(const std::string& strPath, int32_t iRate, int iChannels, int iBytesPerSample,
                    int32_t iStartFrame);
    ~LSNKPCMFileBase() override;

    void Write(const int32_t* pBuffer, int32_t iFrames) override;
    // Moves back only: later frames are cut off the file.
    void Seek(int32_t iFrame) override;

protected:
    virtual void Convert(const int32_t* pSrc, uint8_t* pDst, size_t nSamples) = 0;

private:
    void WriteHeader(uint32_t uDataBytes, uint32_t uRiffBytes);

    LFile file;
    int iBytesPerSample;
    int iBytesPerFrame;
    std::vector<uint8_t> buffer;
};

class LSNKPCMFile8 : public LSNKPCMFileBase {
public:
    LSNKPCMFile8(const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame);

protected:
    void Convert(const int32_t* pSrc, uint8_t* pDst, size_t nSamples) override;
};

class LSNKPCMFile16 : public LSNKPCMFileBase {
public:
    LSNKPCMFile16(const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame);

protected:
    void Convert(const int32_t* pSrc, uint8_t* pDst, size_t nSamples) override;
};
