#pragma once

#include "audio/LSampleEncoding.h"
#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"

#include <vector>

// Reader of interleaved sample data in an open file (WAV PCM, raw, AU and
// AIFF data), from the file's position at construction, up to the length or
// the file's end. Data longer than kMaxFrames opens in error. Concrete
// readers supply the sample converter. Owns the file; one thread at a time.
class LSRCPCMFileBase : public LSoundSourceBase {
public:
    // The data size in bytes; kToEnd: the rest of the file as it is now (a
    // WAV still being written, the 0xFFFFFFFF of its header); kFollowFile:
    // the rest of the file, measured again at every GetLength (headerless
    // data). Takes over the file.
    static constexpr int64_t kToEnd = 0xFFFFFFFF;
    static constexpr int64_t kFollowFile = -1;
    LSRCPCMFileBase(LFile&& file, int32_t iRate, int iChannels, uint32_t uPeak, int iBytesPerSample,
        int64_t iDataBytes);

    int32_t GetLength() override;
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;
    virtual void Convert(const uint8_t* pSrc, int32_t* pDst, size_t nSamples) = 0;

private:
    LFile file;
    int64_t iDataStart;
    int32_t iLength = 0;
    int32_t iBytesPerFrame;
    bool bFollowFile = false;
    std::vector<uint8_t> buffer;

    int64_t FramesAvailable() const;
};

// The reader for one sample encoding (see LSampleEncoding.h).
template <class Enc> class LRawFileDataSoundSource : public LSRCPCMFileBase {
public:
    LRawFileDataSoundSource(LFile&& file, int32_t iRate, int iChannels, int64_t iDataBytes)
        : LSRCPCMFileBase(std::move(file), iRate, iChannels, Enc::kPeak, Enc::kBytes, iDataBytes)
    {
    }

protected:
    void Convert(const uint8_t* s, int32_t* d, size_t n) override { Enc::ToInternal(s, d, n); }
};

// The reader of one encoding as a function, for tables of the encodings a
// file header can name.
using LRawDataOpener
    = SourceHandle (*)(LFile&& file, int32_t iRate, int iChannels, int64_t iDataBytes);
template <class Enc>
SourceHandle OpenRawData(LFile&& file, int32_t iRate, int iChannels, int64_t iDataBytes)
{
    return MakeHandle<LRawFileDataSoundSource<Enc>>(std::move(file), iRate, iChannels, iDataBytes);
}

// The WAV PCM readers.
class LSRCPCMFile8 : public LRawFileDataSoundSource<LEncPcm8U> {
public:
    using LRawFileDataSoundSource::LRawFileDataSoundSource;
};

class LSRCPCMFile16 : public LRawFileDataSoundSource<LEncPcm16LE> {
public:
    using LRawFileDataSoundSource::LRawFileDataSoundSource;
};
