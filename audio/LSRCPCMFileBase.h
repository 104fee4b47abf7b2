#pragma once

#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"

#include <vector>

// Reader of interleaved PCM sample data in an open file, from the file's
// position at construction. Frames before 0 and beyond the length (or the
// file's end) read as zeros. Concrete readers supply the sample converter.
class LSRCPCMFileBase : public LSoundSourceBase {
public:
    // iDataBytes 0xFFFFFFFF: the data runs to the end of the file (a file
    // still being written). Takes over the file.
    LSRCPCMFileBase(LFile&& file, int32_t iRate, int iChannels, uint32_t uPeak,
                    int iBytesPerSample, uint32_t uDataBytes);

    void Read(int32_t* pBuffer, int32_t iFrames) override;
    int32_t GetPosition() override { return iPosition; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t iFrame) override;

protected:
    virtual void Convert(const uint8_t* pSrc, int32_t* pDst, size_t nSamples) = 0;

private:
    LFile file;
    int64_t iDataStart;
    int32_t iPosition = 0;
    int32_t iLength = 0;
    int32_t iBytesPerFrame;
    std::vector<uint8_t> buffer;
};

class LSRCPCMFile8 : public LSRCPCMFileBase {
public:
    LSRCPCMFile8(LFile&& file, int32_t iRate, int iChannels, uint32_t uDataBytes);

protected:
    void Convert(const uint8_t* pSrc, int32_t* pDst, size_t nSamples) override;
};

class LSRCPCMFile16 : public LSRCPCMFileBase {
public:
    LSRCPCMFile16(LFile&& file, int32_t iRate, int iChannels, uint32_t uDataBytes);

protected:
    void Convert(const uint8_t* pSrc, int32_t* pDst, size_t nSamples) override;
};
