#pragma once

#include "audio/LSampleEncoding.h"
#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"

#include <vector>

// Reader of interleaved sample data in an open file (WAV PCM, raw, AU and
// AIFF data), from the file's position at construction. Frames before 0 and
// beyond the length (or the file's end) read as zeros. Concrete readers
// supply the sample converter.
class LSRCPCMFileBase : public LSoundSourceBase {
public:
    // The data size in bytes; kToEnd: the rest of the file as it is now (a
    // WAV still being written); kFollowFile: the rest of the file, measured
    // again at every GetLength (headerless data). Takes over the file.
    static constexpr int64_t kToEnd = 0xFFFFFFFF;
    static constexpr int64_t kFollowFile = -1;
    LSRCPCMFileBase(LFile&& file, int32_t iRate, int iChannels, uint32_t uPeak,
                    int iBytesPerSample, int64_t iDataBytes);

    void Read(int32_t* pBuffer, int32_t iFrames) override;
    int32_t GetPosition() override { return iPosition; }
    int32_t GetLength() override;
    void Seek(int32_t iFrame) override;

protected:
    virtual void Convert(const uint8_t* pSrc, int32_t* pDst, size_t nSamples) = 0;

private:
    LFile file;
    int64_t iDataStart;
    int32_t iPosition = 0;
    int32_t iLength = 0;
    int32_t iBytesPerFrame;
    bool bFollowFile = false;
    std::vector<uint8_t> buffer;

    int32_t FramesAvailable() const;
};

// The reader for one sample encoding (see LSampleEncoding.h).
template <class Enc>
class LRawFileDataSoundSource : public LSRCPCMFileBase {
public:
    LRawFileDataSoundSource(LFile&& file, int32_t iRate, int iChannels, int64_t iDataBytes)
        : LSRCPCMFileBase(std::move(file), iRate, iChannels, Enc::kPeak, Enc::kBytes, iDataBytes)
    {
    }

protected:
    void Convert(const uint8_t* s, int32_t* d, size_t n) override { Enc::ToInternal(s, d, n); }
};

// The WAV PCM readers.
class LSRCPCMFile8 : public LRawFileDataSoundSource<LEncPcm8U> {
public:
    using LRawFileDataSoundSource::LRawFileDataSoundSource;
};

class LSRCPCMFile16 : public LRawFileDataSoundSource<LEncPcm16LE> {
public:
    using LRawFileDataSoundSource::LRawFileDataSoundSource;
};
