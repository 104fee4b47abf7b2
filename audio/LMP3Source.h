#pragma once

#include "audio/LSoundSourceBase.h"
#include "codecs/mp3/MP3Decoder.h"
#include "codecs/mp3/MP3Header.h"
#include "platform/LFile.h"

#include <string>
#include <vector>

// Source decoding an MPEG audio Layer III file (".mp3") frame by frame as it
// is pulled. Delivers 2 channels unless the first frame is single channel,
// at the first frame's rate, peak bound 0x200000. The length is an estimate
// from the first frames (exact when a Xing/Info/VBRI frame gives the frame
// count) that is corrected while reading; the read that meets the end of the
// audio fixes the true length. An estimate of more than kMaxFrames opens in
// error. Owns its file. One thread at a time.
class LMP3Source : public LSoundSourceBase {
public:
    explicit LMP3Source(const std::string& strPath);

    // Opens a file; a failed open gives a source with its error flag set.
    static SourceHandle Open(const std::string& strPath);

    int32_t GetLength() override { return iLength; }
    // Frame-accurate: decodes up to four frames before the target to rebuild
    // the bit reservoir and the filter state.
    void Seek(int32_t iFrame) override;

    // Plain scalar loops in the decoder (tests compare both paths).
    void SetScalar(bool b) { dec.SetScalar(b); }

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    bool DecodeInitialHeader();
    bool FindFirstHeader(int64_t iFrom, int64_t& iAt);
    void CheckVbrFrame(int64_t iAt);
    bool DecodeHeader(MP3Header& h);
    bool DecodeFrame(int32_t* pOut);
    bool SyncTo(int64_t iOffset);
    void Reestimate();
    void SetFilePos(int64_t iOffset);

    LFile file;
    int64_t iAudioEnd = 0; // first byte not decoded (an ID3v1 tag starts here)
    int64_t iBytesAvail = 0; // bytes still available before iAudioEnd
    int64_t iDataStart = 0; // first audio frame
    MP3Header hdrFirst;
    double dAvgBitRate = 0;
    double dFrameBytes = 1;
    int iSamplesPerFrame = 1152;
    bool bExactLength = false;
    MP3Decoder dec;
    std::vector<int32_t> vFrame; // one decoded frame
    int iBufFrames = 0;
    int iBufDelivered = 0;
    int64_t iFramesDecoded = 0; // frames delivered or buffered so far
    int32_t iLength = 0;
    uint8_t aBody[2048 + 8];
};
