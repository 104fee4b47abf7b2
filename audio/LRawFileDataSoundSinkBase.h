#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"

#include <string>
#include <vector>

// Writer of interleaved sample data behind an optional header. The header
// function writes the header at the current file position and returns its
// size; it runs with bFinal false when the file is created and with bFinal
// true at offset 0 when the last handle goes (sizes then known).
class LRawFileDataSoundSinkBase : public LSoundSinkBase {
public:
    using HeaderFn = int (*)(LRawFileDataSoundSinkBase& sink, bool bFinal);

    struct Options {
        bool bKeepExisting
            = false; // continue an existing file (WAV recording) instead of replacing it
        bool bSeekTruncates = false; // a seek back cuts the file there
        int64_t iMaxDataBytes = INT64_MAX; // what the header's size fields can say
    };

    LRawFileDataSoundSinkBase(const std::string& strPath, int32_t iRate, int iChannels,
        int32_t iStartFrame, int iBytesPerSample, HeaderFn fnHeader, Options options);
    ~LRawFileDataSoundSinkBase() override;

    void Write(const int32_t* pBuffer, int32_t iFrames) override;
    // Moves back only; later frames are ignored.
    void Seek(int32_t iFrame) override;
    // Rewrites the header with the final sizes and closes the file.
    bool Close() override;
    int64_t GetMaxFrames() const override;

    LFile& GetFile() { return file; }
    int GetBytesPerFrame() const { return iBytesPerFrame; }
    int GetBytesPerSample() const { return iBytesPerSample; }
    int64_t GetDataBytes() const { return int64_t(GetFramesWritten()) * iBytesPerFrame; }

protected:
    virtual void Convert(const int32_t* pSrc, uint8_t* pDst, size_t nSamples) = 0;

private:
    bool CheckFile();

    LFile file;
    HeaderFn fnHeader;
    Options options;
    int iBytesPerSample;
    int iBytesPerFrame;
    int iHeaderBytes = 0;
    std::vector<uint8_t> buffer;
};

// The writer for one sample encoding (see LSampleEncoding.h).
template <class Enc> class LRawFileDataSoundSink : public LRawFileDataSoundSinkBase {
public:
    LRawFileDataSoundSink(const std::string& strPath, int32_t iRate, int iChannels,
        int32_t iStartFrame, HeaderFn fnHeader = nullptr, Options options = {})
        : LRawFileDataSoundSinkBase(
            strPath, iRate, iChannels, iStartFrame, Enc::kBytes, fnHeader, options)
    {
    }

protected:
    void Convert(const int32_t* pSrc, uint8_t* pDst, size_t n) override
    {
        Enc::FromInternal(pSrc, pDst, n);
    }
};
