#include "platform/acm/LAcmMp3Stream.h"

#include "codecs/mp3/MP3InfoFrame.h"

#include <algorithm>
#include <cstring>

namespace {

// Header fields of the stream's rate at the lowest bit rate; false for a
// rate Layer III does not have.
bool LowestRateParams(uint32_t nSamplesPerSec, MP3Header& fp)
{
    for (int v = 0; v < 3; ++v) {
        for (int i = 0; i < 3; ++i) {
            fp.iVersion = v;
            fp.iSampleRateIndex = i;
            fp.iBitRate = kMP3BitRates[v == 0 ? 0 : 1][1];
            if (uint32_t(fp.SampleRate()) == nSamplesPerSec)
                return true;
        }
    }
    return false;
}

// Decoder output (16 times the 16-bit scale) -> 16-bit, rounded and held.
void ToPcm16(const int32_t* pIn, int16_t* pOut, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        int32_t x = int32_t(uint32_t(pIn[i]) + 8u) >> 4;
        pOut[i] = int16_t(std::clamp(x, -32768, 32767));
    }
}

} // namespace

bool LAcmMp3Stream::IsLayer3Rate(uint32_t nSamplesPerSec)
{
    MP3Header fp;
    return LowestRateParams(nSamplesPerSec, fp);
}

LAcmMp3Stream::LAcmMp3Stream(uint32_t nSamplesPerSec, uint16_t nChannels)
    : uRate(nSamplesPerSec)
    , nCh(nChannels == 1 ? 1 : 2)
{
    MP3Header fp;
    if (!LowestRateParams(nSamplesPerSec, fp))
        fp = MP3Header { .iBitRate = kMP3BitRates[0][1] };
    cbMinFrame = uint32_t(fp.FrameBytes());
    cbPcmFrame = uint32_t(fp.SamplesPerFrame() * nCh * 2);
}

void LAcmMp3Stream::Reset()
{
    dec.Reset();
    bInSync = false;
    bFirst = true;
    nCarry = 0;
}

bool LAcmMp3Stream::IsOurs(const uint8_t* pHeader, MP3Header& fp) const
{
    return fp.Parse(pHeader) && uint32_t(fp.SampleRate()) == uRate && fp.Channels() == nCh
        && fp.BodyBytes() >= fp.SideInfoBytes();
}

int LAcmMp3Stream::FrameAt(const uint8_t* p, size_t n, bool bFinal, MP3Header& fp) const
{
    if (n < 4)
        return bFinal ? 0 : -1;
    if (!IsOurs(p, fp))
        return 0;
    size_t len = size_t(fp.FrameBytes());
    if (len > n)
        return bFinal ? 0 : -1;
    if (bInSync)
        return int(len);
    // Away from the last frame's end a sync pattern may be chance: the next
    // header must follow (or the data end right after the frame).
    if (len + 4 > n)
        return bFinal ? int(len) : -1;
    MP3Header next;
    return IsOurs(p + len, next) ? int(len) : 0;
}

LAcmMp3Stream::ScanEnd LAcmMp3Stream::ScanFrames(
    const uint8_t* p, size_t n, bool bFinal, Output& out)
{
    size_t pos = 0;
    while (pos < n) {
        MP3Header fp;
        int len = FrameAt(p + pos, n - pos, bFinal, fp);
        if (len < 0)
            return { pos, Stop::kNeedMore };
        if (len == 0) {
            bInSync = false;
            const void* pSync = std::memchr(p + pos + 1, 0xFF, n - pos - 1);
            pos = pSync ? size_t(static_cast<const uint8_t*>(pSync) - p) : n;
            continue;
        }
        if (out.cb - out.cbUsed < cbPcmFrame)
            return { pos, Stop::kDstFull };
        if (!(bFirst && MP3IsInfoFrame(p + pos, size_t(len), fp)))
            DecodeOne(p + pos, fp, out);
        bFirst = false;
        bInSync = true;
        pos += size_t(len);
    }
    return { n, Stop::kNeedMore };
}

void LAcmMp3Stream::DecodeOne(const uint8_t* pFrame, const MP3Header& fp, Output& out)
{
    const uint8_t* pBody = pFrame + 4 + (fp.iProtection ? 0 : 2);
    if (dec.DecodeFrame(fp, pBody, fp.BodyBytes(), aFrame) != MP3Decoder::kDecoded)
        return; // unusable side information: the frame is passed over
    size_t nSamples = cbPcmFrame / 2;
    ToPcm16(aFrame, aPcm, nSamples);
    std::memcpy(out.p + out.cbUsed, aPcm, cbPcmFrame);
    out.cbUsed += cbPcmFrame;
}

void LAcmMp3Stream::KeepTail(const uint8_t* p, size_t n)
{
    // A cut frame is shorter than its length plus a header; more than the
    // buffer holds is not a frame start, and only its end is kept.
    if (n > kCarryBytes) {
        p += n - kCarryBytes;
        n = kCarryBytes;
        bInSync = false;
    }
    std::memmove(aCarry, p, n);
    nCarry = n;
}

MMRESULT LAcmMp3Stream::Convert(const uint8_t* pSrc, uint32_t cbSrc, uint32_t& cbSrcUsed,
    uint8_t* pDst, uint32_t cbDst, uint32_t& cbDstUsed, uint32_t fdwConvert)
{
    Output out { pDst, cbDst, 0 };
    bool bEnd = (fdwConvert & ACM_STREAMCONVERTF_END) != 0;
    size_t iSrcPos = 0;
    cbSrcUsed = 0;
    cbDstUsed = 0;
    if (nCarry > 0) {
        // Complete the kept frame with the new bytes and go on in the
        // buffer until the scan has left the kept bytes behind.
        size_t nOld = nCarry;
        size_t nAdd = std::min<size_t>(cbSrc, kCarryBytes - nCarry);
        std::memcpy(aCarry + nCarry, pSrc, nAdd);
        nCarry += nAdd;
        ScanEnd s = ScanFrames(aCarry, nCarry, bEnd && nAdd == cbSrc, out);
        cbDstUsed = out.cbUsed;
        if (s.iPos < nOld) {
            // Still inside the kept bytes: the new ones are taken only when
            // they were all needed to get this far.
            bool bTakeAll = s.stop == Stop::kNeedMore;
            KeepTail(aCarry + s.iPos, (bTakeAll ? nCarry : nOld) - s.iPos);
            cbSrcUsed = bTakeAll ? uint32_t(nAdd) : 0;
            return MMSYSERR_NOERROR;
        }
        nCarry = 0;
        iSrcPos = s.iPos - nOld;
        if (s.stop == Stop::kDstFull) {
            cbSrcUsed = uint32_t(iSrcPos);
            return MMSYSERR_NOERROR;
        }
    }
    ScanEnd s = ScanFrames(pSrc + iSrcPos, cbSrc - iSrcPos, bEnd, out);
    cbDstUsed = out.cbUsed;
    if (s.stop == Stop::kDstFull) {
        cbSrcUsed = uint32_t(iSrcPos + s.iPos);
        return MMSYSERR_NOERROR;
    }
    KeepTail(pSrc + iSrcPos + s.iPos, cbSrc - iSrcPos - s.iPos);
    cbSrcUsed = cbSrc;
    return MMSYSERR_NOERROR;
}

MMRESULT LAcmMp3Stream::Size(uint32_t cbInput, uint32_t& cbOutput, uint32_t fdwSize) const
{
    uint64_t cb = 0;
    if ((fdwSize & ACM_STREAMSIZEF_QUERYMASK) == ACM_STREAMSIZEF_DESTINATION)
        cb = uint64_t(cbInput / cbPcmFrame) * cbMinFrame;
    else
        cb = (uint64_t(cbInput / cbMinFrame) + 2) * cbPcmFrame;
    cbOutput = cb > UINT32_MAX ? 0 : uint32_t(cb);
    return cbOutput ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
}
