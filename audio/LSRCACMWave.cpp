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

LSRCACMWave::LSRCACMWave(LFile&& f, const LWaveFormat& format, uint32_t uDataBytesIn)
    : LSoundSourceBase(int32_t(format.wfx.nSamplesPerSec), format.wfx.nChannels, kInternalFullScale)
    , file(std::move(f))
{
    iDataStart = std::max<int64_t>(file.Tell(), 0);
    // A header may claim more than the file holds (a truncated copy): the
    // estimates and seeks use what is really there.
    int64_t iInFile = std::max<int64_t>(file.GetFileSizeBytes() - iDataStart, 0);
    uDataBytes = uint32_t(std::min<int64_t>(
        uDataBytesIn == 0xFFFFFFFFu ? iInFile : std::min<int64_t>(uDataBytesIn, iInFile),
        UINT32_MAX));
    uSamplesPerSec = std::max<uint32_t>(format.wfx.nSamplesPerSec, 1);
    bNoByteRate = format.wfx.nAvgBytesPerSec == 0;
    uAvgBytesPerSec = bNoByteRate ? uSamplesPerSec : format.wfx.nAvgBytesPerSec;
    uBlockAlign = std::max<uint32_t>(format.wfx.nBlockAlign, 1);
    if (IsError() || !OpenStream(format)) {
        SetError();
        return;
    }
    ChooseScale(format);
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
    return int64_t(std::min<uint64_t>(Scale(uBytes, uScaleFrames, uScaleBytes), INT32_MAX));
}

uint64_t LSRCACMWave::FramesToBytes(uint64_t uFrames) const
{
    return Scale(uFrames, uScaleBytes, uScaleFrames);
}

void LSRCACMWave::Read(int32_t* pBuffer, int32_t iFrames)
{
    size_t nCh = size_t(GetChannels());
    int32_t iStart = iPosition;
    iPosition = int32_t(uint32_t(iPosition) + uint32_t(iFrames));
    if (IsError()) {
        std::memset(pBuffer, 0, size_t(iFrames) * nCh * sizeof(int32_t));
        return;
    }
    int32_t iLead = iStart < 0 ? int32_t(std::min<int64_t>(iFrames, -int64_t(iStart))) : 0;
    std::memset(pBuffer, 0, size_t(iLead) * nCh * sizeof(int32_t));
    int32_t* pOut = pBuffer + size_t(iLead) * nCh;
    int32_t iWanted = iFrames - iLead;
    uint32_t uTaken = 0; // bytes of the destination buffer delivered
    for (;;) {
        int32_t iTake = std::min<int32_t>(iWanted, int32_t((cbDstFill - uTaken) / FrameBytes()));
        LSampleConvert::Pcm16ToInternal(vDst.data() + uTaken, pOut, size_t(iTake) * nCh);
        uTaken += uint32_t(iTake) * FrameBytes();
        pOut += size_t(iTake) * nCh;
        iWanted -= iTake;
        if (iWanted == 0)
            break;
        if (iEndPosition >= 0) {
            std::memset(pOut, 0, size_t(iWanted) * nCh * sizeof(int32_t));
            break;
        }
        cbDstFill = 0;
        uTaken = 0;
        Decode(iWanted);
    }
    // What was decoded but not taken is delivered first next time.
    std::memmove(vDst.data(), vDst.data() + uTaken, cbDstFill - uTaken);
    cbDstFill -= uTaken;
}

void LSRCACMWave::Decode(int32_t iWanted)
{
    uint32_t cbToRead = std::min(cbSrc - cbSrcFill, uDataBytes - uBytesRead);
    int64_t iGot = cbToRead ? file.Read(vSrc.data() + cbSrcFill, cbToRead) : 0;
    uBytesRead += uint32_t(iGot);
    cbSrcFill += uint32_t(iGot);
    bool bShort = cbSrcFill < cbSrc;

    ash.cbSrcLength = cbSrcFill;
    ash.cbDstLength = cbDst;
    if (acmStreamConvert(has, &ash, ACM_STREAMCONVERTF_BLOCKALIGN) != MMSYSERR_NOERROR) {
        LTrace("LSRCACMWave::Read acmStreamConvert failed");
        FixEnd(iWanted);
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
            FixEnd(iWanted);
    }
}

void LSRCACMWave::FixEnd(int32_t iWanted)
{
    iEndPosition = std::max(int32_t(int64_t(iPosition) - iWanted), 0);
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
    int64_t iLeft = BytesToFrames(uint64_t(uDataBytes - uBytesRead) + cbSrcFill);
    return int32_t(std::min<int64_t>(iWaiting + std::max(iPosition, 0) + iLeft, INT32_MAX));
}

void LSRCACMWave::SeekByDecoding(int32_t iFrame)
{
    file.Seek(iDataStart);
    iPosition = 0;
    while (iPosition < iFrame && (iEndPosition < 0 || iPosition < iEndPosition))
        LSRCACMWave::Read(vDiscard.data(), std::min(iFrame - iPosition, kBlockFrames));
    // Past the end the position still says where the caller asked to be.
    iPosition = std::max(iPosition, iFrame);
}

void LSRCACMWave::Seek(int32_t iFrame)
{
    if (IsError()) {
        iPosition = iFrame;
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
        iPosition = iFrame;
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
        iPosition = iFrame;
        return;
    }
    uOffset -= uOffset % uBlockAlign;
    file.Seek(iDataStart + int64_t(uOffset));
    uBytesRead = uint32_t(uOffset);
    iPosition = int32_t(BytesToFrames(uOffset));
    int32_t iSkip = iFrame - iPosition;
    if (iSkip >= 1 && iSkip <= kBlockFrames)
        LSRCACMWave::Read(vDiscard.data(), iSkip);
}
