#pragma once

#include "codecs/mp3/MP3Decoder.h"
#include "platform/acm/LAcmDriver.h"

#include <cstddef>
#include <cstdint>

// One MPEG Layer 3 -> 16-bit PCM conversion. Frames have no fixed size (a
// variable-bit-rate stream changes it frame by frame, and the header's block
// align is no guide), so the stream finds the frame syncs in the bytes
// itself: a sync is trusted where the previous frame ended, and elsewhere
// only when the next frame's header follows where its length says. A frame
// cut by the end of a call's data is kept and completed by the next call, so
// every byte a caller hands in is usable, with or without BLOCKALIGN; END
// decodes what is complete and drops a cut final frame. A frame is decoded
// only when its PCM fits in the room left; what does not fit is left unused
// for the caller to hand in again. An encoder's Xing/Info/VBRI frame at the
// start is skipped. Frames of another rate or channel count than the
// stream's are not taken for frames.
class LAcmMp3Stream : public LAcmStreamInstance {
public:
    // nSamplesPerSec one of the nine Layer III rates, nChannels 1 or 2.
    LAcmMp3Stream(uint32_t nSamplesPerSec, uint16_t nChannels);

    void Reset() override;
    MMRESULT Convert(const uint8_t* pSrc, uint32_t cbSrc, uint32_t& cbSrcUsed, uint8_t* pDst,
        uint32_t cbDst, uint32_t& cbDstUsed, uint32_t fdwConvert) override;
    // Bounded by the smallest frame of the stream's rate (lowest bit rate):
    // SOURCE gives room for every frame cbInput bytes could hold and the one
    // kept from the call before; DESTINATION gives the bytes that hold at
    // most the frames fitting in cbInput.
    MMRESULT Size(uint32_t cbInput, uint32_t& cbOutput, uint32_t fdwSize) const override;

    // True for the nine sampling rates of MPEG-1, MPEG-2 and MPEG-2.5.
    static bool IsLayer3Rate(uint32_t nSamplesPerSec);

private:
    // The longest frame (320 kbit/s at 32 kHz, padded) and the next header.
    static constexpr size_t kMaxFrameBytes = 1441;
    static constexpr size_t kCarryBytes = 4096;

    struct Output {
        uint8_t* p;
        uint32_t cb;
        uint32_t cbUsed;
    };
    enum class Stop { kNeedMore, kDstFull };
    struct ScanEnd {
        size_t iPos; // bytes resolved: decoded frames and bytes that are no frame
        Stop stop;
    };

    ScanEnd ScanFrames(const uint8_t* p, size_t n, bool bFinal, Output& out);
    // Length of the frame at p (n bytes there), 0 when there is none, -1 when
    // more bytes are needed to tell.
    int FrameAt(const uint8_t* p, size_t n, bool bFinal, MP3Header& fp) const;
    bool IsOurs(const uint8_t* pHeader, MP3Header& fp) const;
    void DecodeOne(const uint8_t* pFrame, const MP3Header& fp, Output& out);
    void KeepTail(const uint8_t* p, size_t n);

    uint32_t uRate;
    int nCh;
    uint32_t cbPcmFrame; // PCM bytes of one frame
    uint32_t cbMinFrame; // the stream's smallest frame
    MP3Decoder dec;
    bool bInSync = false; // the last frame taken ended where the scan is
    bool bFirst = true; // no frame taken since the start
    size_t nCarry = 0;
    uint8_t aCarry[kCarryBytes];
    alignas(16) int32_t aFrame[1152 * 2];
    alignas(16) int16_t aPcm[1152 * 2];
};
