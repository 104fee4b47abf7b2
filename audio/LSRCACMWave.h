#pragma once

#include "audio/LSoundSourceBase.h"
#include "platform/LFile.h"
#include "platform/acm/LAcm.h"

#include <vector>

// Reader of a compressed (or wide PCM, float ...) WAV data chunk through the
// codec manager, which decodes it to 16-bit PCM of the same rate and
// channels. Takes over the file positioned at the first data byte. Until the
// decoder has met the end, GetLength is an estimate from the bytes left;
// Seek lands on the codec block before the frame and decodes up to the frame.
// A codec that cannot be opened, or data of more than kMaxFrames frames, sets
// the error flag. One thread at a time.
class LSRCACMWave : public LSoundSourceBase {
public:
    // iDataBytes 0xFFFFFFFF: the data runs to the end of the file.
    LSRCACMWave(LFile&& file, const LWaveFormat& format, int64_t iDataBytes);
    ~LSRCACMWave() override;
    LSRCACMWave(const LSRCACMWave&) = delete;
    LSRCACMWave& operator=(const LSRCACMWave&) = delete;

    int32_t GetLength() override;
    void Seek(int32_t iFrame) override;

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    LFile file;
    uint64_t uDataBytes = 0;
    uint64_t uBytesRead = 0; // data offset of the next byte the file gives
    int64_t iDataStart = 0;
    HACMSTREAM has = nullptr;
    ACMSTREAMHEADER ash;
    std::vector<uint8_t> vSrc;
    uint32_t cbSrc = 0;
    uint32_t cbSrcFill = 0;
    std::vector<uint8_t> vDst;
    uint32_t cbDst = 0;
    uint32_t cbDstFill = 0; // decoded bytes waiting at the front
    uint32_t uSamplesPerSec = 0;
    uint32_t uAvgBytesPerSec = 0;
    // The header gives no byte rate (variable bit rate): positions in the
    // data cannot be computed, so seeking decodes from the start.
    bool bNoByteRate = false;
    uint32_t uBlockAlign = 1;
    // Bytes <-> frames: uScaleBytes data bytes stand for uScaleFrames frames.
    uint32_t uScaleBytes = 1;
    uint32_t uScaleFrames = 1;
    int32_t iEndPosition = -1;
    std::vector<int32_t> vDiscard; // frames decoded and dropped by Seek

    bool OpenStream(const LWaveFormat& format);
    void ChooseScale(const LWaveFormat& format);
    uint32_t FrameBytes() const { return uint32_t(GetChannels()) * 2; }
    int64_t BytesToFrames(uint64_t uBytes) const;
    uint64_t FramesToBytes(uint64_t uFrames) const;
    // Refills the source buffer and decodes into the (empty) destination
    // buffer; when nothing more comes, the audio ends at frame iAt.
    void Decode(int32_t iAt);
    void FixEnd(int32_t iAt);
    void CompactSource(uint32_t cbUsed);
    // Seek without a byte rate: from the start, decoding and dropping.
    void SeekByDecoding(int32_t iFrame);
};
