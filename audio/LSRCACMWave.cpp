#include "audio/LSRCACMWave.h"

#include "audio/LSampleConvert.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cstring>

namespace {

// (x / b) * a + ((x mod b) * a) / b: x * a / b without the full product.
uint64_t Scale(uint64_t x, uint64_t a, uint64_t b)
{
    return (x / b) * a + ((x % b) * a) / b;
}

} // namespace

LSRCACMWave::LSRCACMWave(LFile&& f, const LWaveFormat& format, int64_t iDataBytes)
    : LSoundSourceBase(int32_t(format.wfx.nSamplesPerSec), format.wfx.nChannels, kInternalFullScale)
    , file(std::move(f))
{
    iDataStart = std::max<int64_t>(file.Tell(), 0);
    // A header may claim more than the file holds (a truncated copy): the
    // estimates and seeks use what is really there.
    int64_t iInFile = std::max<int64_t>(file.GetFileSizeBytes() - iDataStart, 0);
    uDataBytes = uint64_t(
        iDataBytes < 0 || iDataBytes == 0xFFFFFFFF ? iInFile : std::min(iDataBytes, iInFile));
    uSamplesPerSec = std::max<uint32_t>(format.wfx.nSamplesPerSec, 1);
    bNoByteRate = format.wfx.nAvgBytesPerSec == 0;
    uAvgBytesPerSec = bNoByteRate ? uSamplesPerSec : format.wfx.nAvgBytesPerSec;
    uBlockAlign = std::max<uint32_t>(format.wfx.nBlockAlign, 1);
    if (IsError() || !OpenStream(format)) {
        SetError();
        return;
    }
    ChooseScale(format);
    if (!CheckLength(int64_t(Scale(uDataBytes, uScaleFrames, uScaleBytes))))
        return;
    vDiscard.resize(size_t(kBlockFrames) * size_t(GetChannels()));
}

bool LSRCACMWave::OpenStream(const LWaveFormat& format)
{
    LWaveFormat pcm = LWaveFormat::Pcm(format.wfx.nChannels, format.wfx.nSamplesPerSec, 16);
    if (acmStreamOpenAnyDriver(&has, &format, &pcm) != MMSYSERR_NOERROR) {
        LTrace("LSRCACMWave::LSRCACMWave acmStreamOpen failed for format tag %u",
            unsigned(format.wfx.wFormatTag));
        has = nullptr;
        return false;
    }
    cbDst = FrameBytes() * uint32_t(kBlockFrames);
    if (acmStreamSize(has, cbDst, &cbSrc, ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR
        || cbSrc == 0) {
        LTrace("LSRCACMWave::LSRCACMWave acmStreamSize gives no source size");
        return false;
    }
    vSrc.resize(cbSrc);
    vDst.resize(cbDst);
    ash.pbSrc = vSrc.data();
    ash.cbSrcLength = cbSrc;
    ash.pbDst = vDst.data();
    ash.cbDstLength = cbDst;
    if (acmStreamPrepareHeader(has, &ash, 0) != MMSYSERR_NOERROR) {
        LTrace("LSRCACMWave::LSRCACMWave acmStreamPrepareHeader failed");
        return false;
    }
    return true;
}

// The header's average byte rate is rounded; for a codec of fixed blocks the
// block size and the frames each block decodes to give exact positions.
void LSRCACMWave::ChooseScale(const LWaveFormat& format)
{
    uScaleBytes = uAvgBytesPerSec;
    uScaleFrames = uSamplesPerSec;
    uint32_t cbOut = 0;
    uint32_t cbBack = 0;
    if (acmStreamSize(has, uBlockAlign, &cbOut, ACM_STREAMSIZEF_SOURCE) != MMSYSERR_NOERROR
        || cbOut == 0 || cbOut % FrameBytes() != 0
        || acmStreamSize(has, cbOut, &cbBack, ACM_STREAMSIZEF_DESTINATION) != MMSYSERR_NOERROR
        || cbBack != uBlockAlign)
        return;
    uScaleBytes = uBlockAlign;
    uScaleFrames = cbOut / FrameBytes();
}

LSRCACMWave::~LSRCACMWave()
{
    if (has) {
        if (ash.fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)
            acmStreamUnprepareHeader(has, &ash, 0);
        acmStreamClose(has, 0);
    }
}

int64_t LSRCACMWave::BytesToFrames(uint64_t uBytes) const
{
    return int64_t(std::min<uint64_t>(Scale(uBytes, uScaleFrames, uScaleBytes), kMaxFrames));
}

uint64_t LSRCACMWave::FramesToBytes(uint64_t uFrames) const
{
    return Scale(uFrames, uScaleBytes, uScaleFrames);
}

int32_t LSRCACMWave::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    size_t nCh = size_t(GetChannels());
    int32_t* pOut = pBuffer;
    int32_t iDone = 0;
    uint32_t uTaken = 0; // bytes of the destination buffer delivered
    for (;;) {
        int32_t iTake
            = std::min<int32_t>(iFrames - iDone, int32_t((cbDstFill - uTaken) / FrameBytes()));
        LSampleConvert::Pcm16ToInternal(vDst.data() + uTaken, pOut, size_t(iTake) * nCh);
        uTaken += uint32_t(iTake) * FrameBytes();
        pOut += size_t(iTake) * nCh;
        iDone += iTake;
        if (iDone == iFrames || iEndPosition >= 0)
            break;
        cbDstFill = 0;
        uTaken = 0;
        Decode(GetPosition() + iDone);
    }
    // What was decoded but not taken is delivered first next time.
    std::memmove(vDst.data(), vDst.data() + uTaken, cbDstFill - uTaken);
    cbDstFill -= uTaken;
    return iDone;
}

void LSRCACMWave::Decode(int32_t iAt)
{
    uint32_t cbToRead = uint32_t(std::min<uint64_t>(cbSrc - cbSrcFill, uDataBytes - uBytesRead));
    int64_t iGot = cbToRead ? file.Read(vSrc.data() + cbSrcFill, cbToRead) : 0;
    uBytesRead += uint64_t(iGot);
    cbSrcFill += uint32_t(iGot);
    bool bShort = cbSrcFill < cbSrc;

    ash.cbSrcLength = cbSrcFill;
    ash.cbDstLength = cbDst;
    if (acmStreamConvert(has, &ash, ACM_STREAMCONVERTF_BLOCKALIGN) != MMSYSERR_NOERROR) {
        LTrace("LSRCACMWave::Read acmStreamConvert failed");
        FixEnd(iAt);
        return;
    }
    cbDstFill = ash.cbDstLengthUsed;
    uint32_t cbUsed = ash.cbSrcLengthUsed;
    CompactSource(cbUsed);
    // Nothing decoded: at the end of the data (or with a codec that takes
    // nothing from a full buffer) the last short block is flushed.
    if (cbDstFill == 0 && (bShort || cbUsed == 0)) {
        ash.cbSrcLength = cbSrcFill;
        ash.cbDstLength = cbDst;
        if (acmStreamConvert(has, &ash, ACM_STREAMCONVERTF_END) == MMSYSERR_NOERROR) {
            cbDstFill = ash.cbDstLengthUsed;
            CompactSource(ash.cbSrcLengthUsed);
        }
        if (cbDstFill == 0)
            FixEnd(iAt);
    }
}

void LSRCACMWave::FixEnd(int32_t iAt)
{
    iEndPosition = std::max(iAt, 0);
}

void LSRCACMWave::CompactSource(uint32_t cbUsed)
{
    cbUsed = std::min(cbUsed, cbSrcFill);
    std::memmove(vSrc.data(), vSrc.data() + cbUsed, cbSrcFill - cbUsed);
    cbSrcFill -= cbUsed;
}

int32_t LSRCACMWave::GetLength()
{
    if (iEndPosition >= 0 || IsError())
        return std::max(iEndPosition, 0);
    int64_t iWaiting = cbDstFill / FrameBytes();
    int64_t iLeft = BytesToFrames(uDataBytes - uBytesRead + cbSrcFill);
    return int32_t(std::min<int64_t>(iWaiting + std::max(GetPosition(), 0) + iLeft, kMaxFrames));
}

void LSRCACMWave::SeekByDecoding(int32_t iFrame)
{
    file.Seek(iDataStart);
    SetPosition(0);
    while (GetPosition() < iFrame && (iEndPosition < 0 || GetPosition() < iEndPosition))
        Read(vDiscard.data(), std::min(iFrame - GetPosition(), kBlockFrames));
    // Past the end the position still says where the caller asked to be.
    SetPosition(std::max(GetPosition(), iFrame));
}

void LSRCACMWave::Seek(int32_t iFrame)
{
    if (IsError()) {
        SetPosition(iFrame);
        return;
    }
    ash.cbSrcLength = 0;
    ash.cbDstLength = cbDst;
    acmStreamConvert(has, &ash, ACM_STREAMCONVERTF_START);
    cbSrcFill = 0;
    cbDstFill = 0;
    uBytesRead = 0;
    iEndPosition = -1;
    if (iFrame <= 0) {
        file.Seek(iDataStart);
        SetPosition(iFrame);
        return;
    }
    if (bNoByteRate) {
        SeekByDecoding(iFrame);
        return;
    }
    uint64_t uOffset = FramesToBytes(uint64_t(iFrame));
    if (uOffset >= uDataBytes) {
        file.Seek(iDataStart + int64_t(uDataBytes));
        uBytesRead = uDataBytes;
        iEndPosition = int32_t(BytesToFrames(uDataBytes));
        SetPosition(iFrame);
        return;
    }
    uOffset -= uOffset % uBlockAlign;
    file.Seek(iDataStart + int64_t(uOffset));
    uBytesRead = uOffset;
    SetPosition(int32_t(BytesToFrames(uOffset)));
    int32_t iSkip = iFrame - GetPosition();
    if (iSkip >= 1 && iSkip <= kBlockFrames)
        Read(vDiscard.data(), iSkip);
}
