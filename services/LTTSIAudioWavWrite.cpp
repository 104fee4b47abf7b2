#include "services/LTTSIAudioWavWrite.h"

#include "platform/LTrace.h"

#include <cstring>

namespace {
void Put32(uint8_t* p, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(x >> (8 * i));
}
} // namespace

LTTSIAudioWavWrite::LTTSIAudioWavWrite(LFile f)
    : file(std::move(f))
{
}

LResult LTTSIAudioWavWrite::QueryInterface(const LGuid& iid, void** ppv)
{
    *ppv = nullptr;
    if (iid == IID_IUnknown || iid == IID_IAudio)
        *ppv = static_cast<IAudio*>(this);
    else if (iid == IID_IAudioDest)
        *ppv = static_cast<IAudioDest*>(&dest);
    return *ppv ? kSOk : kENoInterface;
}

uint32_t LTTSIAudioWavWrite::Release()
{
    pSink = nullptr;
    return 1;
}

LResult LTTSIAudioWavWrite::PassNotify(void* pNotify, const LGuid& iid)
{
    if (iid == IID_IAudioDestNotifySink)
        pSink = static_cast<IAudioDestNotifySink*>(pNotify);
    return kSOk;
}

LResult LTTSIAudioWavWrite::Claim()
{
    bStarted = true;
    bFinished = false;
    if (IAudioDestNotifySink* p = pSink)
        p->AudioStart();
    return kSOk;
}

LResult LTTSIAudioWavWrite::UnClaim()
{
    // The sink hears of the end before a poller of the flags does.
    if (IAudioDestNotifySink* p = pSink)
        p->AudioStop(0);
    bStarted = true;
    bFinished = true;
    return kSOk;
}

uint32_t LTTSIAudioWavWrite::ExtraBytes() const
{
    return format.size() >= 18 ? uint32_t(format[16] | (format[17] << 8)) : 0;
}

LResult LTTSIAudioWavWrite::WaveFormatSet(LSData f)
{
    const auto* p = static_cast<const uint8_t*>(f.pData);
    // A format whose extra size claims more bytes than it has would make
    // the header read past it.
    if (!p || f.dwSize > kMaxFormatBytes || f.dwSize < 18
        || 18u + uint32_t(p[16] | (p[17] << 8)) > f.dwSize) {
        LTrace("LTTSIAudioWavWrite::WaveFormatSet format of %u bytes refused", f.dwSize);
        return kAudErrWaveFormatNotSupported;
    }
    format.assign(p, p + f.dwSize);
    bFormatSet = true;
    // A new format starts the data again, after a header of its own size.
    uDataBytes = 0;
    return WriteHeader(0xFFFFFFFFu, 0xFFFFFFFFu) && file.Seek(HeaderBytes()) && file.Truncate()
        ? kSOk
        : kEFail;
}

bool LTTSIAudioWavWrite::WriteHeader(uint32_t uRiff, uint32_t uData)
{
    const uint32_t uExtra = ExtraBytes();
    std::vector<uint8_t> h(HeaderBytes());
    std::memcpy(h.data(), "RIFF", 4);
    Put32(&h[4], uRiff);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    Put32(&h[16], 18u + uExtra);
    std::memcpy(&h[20], format.data(), 18u + uExtra);
    std::memcpy(&h[38 + uExtra], "data", 4);
    Put32(&h[42 + uExtra], uData);
    return file.WriteAt(h.data(), int64_t(h.size()), 0) == int64_t(h.size());
}

bool LTTSIAudioWavWrite::Close()
{
    bool bWritten = true;
    if (bFormatSet) {
        uint32_t uData = uDataBytes;
        bWritten = WriteHeader(ExtraBytes() + uData + 38u, uData);
    }
    return file.Close() && bWritten && file.GetError() == 0;
}

LResult LTTSIAudioWavWrite::LTTSAudioDest::QueryInterface(const LGuid& iid, void** ppv)
{
    *ppv = nullptr;
    if (iid == IID_IUnknown || iid == IID_IAudioDest)
        *ppv = static_cast<IAudioDest*>(this);
    return *ppv ? kSOk : kENoInterface;
}

LResult LTTSIAudioWavWrite::LTTSAudioDest::FreeSpace(uint32_t* pdwBuf, int* pfEOF)
{
    if (pdwBuf)
        *pdwBuf = 65536;
    if (pfEOF)
        *pfEOF = 0;
    return kSOk;
}

LResult LTTSIAudioWavWrite::LTTSAudioDest::DataSet(const void* pBuffer, uint32_t dwSize)
{
    if (!owner.bFormatSet)
        return kAudErrNeedWaveFormat;
    const uint32_t uAt = owner.uDataBytes;
    if (owner.file.WriteAt(pBuffer, dwSize, int64_t(owner.HeaderBytes()) + uAt) != dwSize)
        return kEFail;
    owner.uDataBytes = uAt + dwSize;
    return kSOk;
}

LResult LTTSIAudioWavWrite::LTTSAudioDest::BookMark(uint32_t dwMarkId)
{
    if (IAudioDestNotifySink* p = owner.pSink)
        p->BookMark(dwMarkId);
    return kSOk;
}
