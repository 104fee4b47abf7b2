#include "platform/acm/LWaveFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

bool LWaveFormat::FromBytes(const void* pBytes, size_t nBytes, LWaveFormat& out, bool bClampExtra)
{
    if (nBytes < 16)
        return false;
    LWaveFormat wf;
    std::memcpy(&wf.wfx, pBytes, nBytes < 18 ? nBytes : 18);
    if (nBytes < 18)
        wf.wfx.cbSize = 0;
    size_t nExtra = wf.wfx.cbSize;
    if (nExtra > nBytes - (nBytes < 18 ? nBytes : 18)) {
        if (!bClampExtra)
            return false;
        nExtra = nBytes < 18 ? 0 : nBytes - 18;
        wf.wfx.cbSize = uint16_t(nExtra);
    }
    const uint8_t* p = static_cast<const uint8_t*>(pBytes);
    wf.vExtra.assign(p + 18, p + 18 + nExtra);
    out = std::move(wf);
    return true;
}

std::vector<uint8_t> LWaveFormat::ToBytes() const
{
    const auto* pBlock = reinterpret_cast<const uint8_t*>(&wfx);
    std::vector<uint8_t> v(pBlock, pBlock + sizeof(WAVEFORMATEX));
    v.insert(v.end(), vExtra.begin(), vExtra.end());
    return v;
}

bool LWaveFormat::CopyTo(void* pBytes, size_t nCapacity) const
{
    if (sizeof(WAVEFORMATEX) + vExtra.size() > nCapacity)
        return false;
    auto* p = static_cast<uint8_t*>(pBytes);
    std::memcpy(p, &wfx, sizeof(WAVEFORMATEX));
    std::copy(vExtra.begin(), vExtra.end(), p + sizeof(WAVEFORMATEX));
    return true;
}

LWaveFormat LWaveFormat::Pcm(uint16_t nChannels, uint32_t nSamplesPerSec, uint16_t wBits)
{
    LWaveFormat wf;
    wf.wfx.wFormatTag = WAVE_FORMAT_PCM;
    wf.wfx.nChannels = nChannels;
    wf.wfx.nSamplesPerSec = nSamplesPerSec;
    wf.wfx.nBlockAlign = uint16_t(nChannels * ((wBits + 7) / 8));
    wf.wfx.nAvgBytesPerSec = nSamplesPerSec * wf.wfx.nBlockAlign;
    wf.wfx.wBitsPerSample = wBits;
    wf.wfx.cbSize = 0;
    return wf;
}

void LWaveFormat::SetExtra(std::vector<uint8_t> v)
{
    vExtra = std::move(v);
    wfx.cbSize = uint16_t(vExtra.size());
}

bool LWaveFormat::IsPcm16() const
{
    return wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16 && wfx.nChannels > 0
        && wfx.nBlockAlign == wfx.nChannels * 2;
}

uint16_t LWaveFormat::ExtraU16(size_t i) const
{
    if (i + 2 > vExtra.size())
        return 0;
    return uint16_t(vExtra[i] | (vExtra[i + 1] << 8));
}

uint32_t LWaveFormat::ExtraU32(size_t i) const
{
    if (i + 4 > vExtra.size())
        return 0;
    return uint32_t(ExtraU16(i)) | (uint32_t(ExtraU16(i + 2)) << 16);
}

std::string LWaveFormat::Description() const
{
    char sz[128];
    const char* szCh = wfx.nChannels == 1 ? "Mono" : wfx.nChannels == 2 ? "Stereo" : nullptr;
    char szChBuf[32];
    if (!szCh) {
        std::snprintf(szChBuf, sizeof szChBuf, "%u Channels", unsigned(wfx.nChannels));
        szCh = szChBuf;
    }
    unsigned uKHz = wfx.nSamplesPerSec / 1000;
    unsigned uFrac = wfx.nSamplesPerSec % 1000;
    unsigned uKbit = unsigned((uint64_t(wfx.nAvgBytesPerSec) * 8 + 500) / 1000);
    if (wfx.wBitsPerSample >= 8
        && (wfx.wFormatTag == WAVE_FORMAT_PCM || wfx.wFormatTag == WAVE_FORMAT_IEEE_FLOAT
            || wfx.wFormatTag == WAVE_FORMAT_EXTENSIBLE))
        std::snprintf(sz, sizeof sz, "%u.%03u kHz, %u Bit, %s, %u kBit/s", uKHz, uFrac,
            unsigned(wfx.wBitsPerSample), szCh, uKbit);
    else
        std::snprintf(sz, sizeof sz, "%u.%03u kHz, %s, %u kBit/s", uKHz, uFrac, szCh, uKbit);
    return sz;
}

bool LWaveFormat::operator==(const LWaveFormat& o) const
{
    return std::memcmp(&wfx, &o.wfx, sizeof wfx) == 0 && vExtra == o.vExtra;
}
