#include "platform/acm/LAcm.h"

#include "platform/acm/LAcmDriver.h"

#include <algorithm>
#include <memory>

struct LAcmStream {
    const LAcmDriver* pDriver = nullptr;
    std::unique_ptr<LAcmStreamInstance> pInstance;
};

namespace {

bool IsKnownDriver(HACMDRIVER had)
{
    for (const auto& p : LAcmDriverTable::Drivers())
        if (p.get() == had)
            return true;
    return false;
}

// The first driver (or had) that accepts the pair, honouring real-time only
// unless non-real-time drivers are admitted.
const LAcmDriver* FindDriver(
    HACMDRIVER had, const LWaveFormat& src, const LWaveFormat& dst, uint32_t fdwOpen)
{
    for (const auto& p : LAcmDriverTable::Drivers()) {
        if (had && p.get() != had)
            continue;
        if (!p->IsRealTime() && !(fdwOpen & ACM_STREAMOPENF_NONREALTIME))
            continue;
        if (p->Query(src, dst) == MMSYSERR_NOERROR)
            return p.get();
    }
    return nullptr;
}

bool IsPreparedFor(HACMSTREAM has, const ACMSTREAMHEADER* pash)
{
    return pash && pash->hasPrepared == has && (pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED);
}

} // namespace

MMRESULT acmStreamOpen(HACMSTREAM* phas, HACMDRIVER had, const LWaveFormat* pwfxSrc,
    const LWaveFormat* pwfxDst, const void* pwfltr, uintptr_t dwCallback, uintptr_t dwInstance,
    uint32_t fdwOpen)
{
    bool bQuery = (fdwOpen & ACM_STREAMOPENF_QUERY) != 0;
    if (phas)
        *phas = nullptr;
    if (!pwfxSrc || !pwfxDst || pwfltr || dwCallback || dwInstance || (!bQuery && !phas))
        return MMSYSERR_INVALPARAM;
    if (fdwOpen & ~(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME))
        return MMSYSERR_INVALFLAG;
    if (!pwfxSrc->IsConsistent() || !pwfxDst->IsConsistent())
        return MMSYSERR_INVALPARAM;
    if (had && !IsKnownDriver(had))
        return MMSYSERR_INVALHANDLE;
    const LAcmDriver* pDriver = FindDriver(had, *pwfxSrc, *pwfxDst, fdwOpen);
    if (!pDriver)
        return ACMERR_NOTPOSSIBLE;
    if (bQuery)
        return MMSYSERR_NOERROR;
    auto pInstance = pDriver->Open(*pwfxSrc, *pwfxDst);
    if (!pInstance)
        return ACMERR_NOTPOSSIBLE;
    auto* pStream = new LAcmStream;
    pStream->pDriver = pDriver;
    pStream->pInstance = std::move(pInstance);
    *phas = pStream;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpenAnyDriver(
    HACMSTREAM* phas, const LWaveFormat* pwfxSrc, const LWaveFormat* pwfxDst, uint32_t fdwOpen)
{
    MMRESULT mr = acmStreamOpen(phas, nullptr, pwfxSrc, pwfxDst, nullptr, 0, 0, fdwOpen);
    if (mr != MMSYSERR_NOERROR)
        mr = acmStreamOpen(
            phas, nullptr, pwfxSrc, pwfxDst, nullptr, 0, 0, fdwOpen | ACM_STREAMOPENF_NONREALTIME);
    return mr;
}

MMRESULT acmStreamClose(HACMSTREAM has, uint32_t fdwClose)
{
    if (!has)
        return MMSYSERR_INVALHANDLE;
    delete has;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamSize(HACMSTREAM has, uint32_t cbInput, uint32_t* pdwOutputBytes, uint32_t fdwSize)
{
    if (!has)
        return MMSYSERR_INVALHANDLE;
    if (!pdwOutputBytes)
        return MMSYSERR_INVALPARAM;
    if (fdwSize & ~ACM_STREAMSIZEF_QUERYMASK)
        return MMSYSERR_INVALFLAG;
    uint32_t cb = 0;
    MMRESULT mmr = has->pInstance->Size(cbInput, cb, fdwSize);
    *pdwOutputBytes = mmr == MMSYSERR_NOERROR ? cb : 0;
    if (mmr == MMSYSERR_NOERROR && cb == 0)
        mmr = ACMERR_NOTPOSSIBLE;
    return mmr;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwPrepare)
{
    if (!has)
        return MMSYSERR_INVALHANDLE;
    if (!pash || pash->cbStruct < sizeof(ACMSTREAMHEADER) || !pash->pbSrc || !pash->pbDst)
        return MMSYSERR_INVALPARAM;
    if (pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED)
        return MMSYSERR_NOERROR;
    pash->hasPrepared = has;
    pash->pbPreparedSrc = pash->pbSrc;
    pash->cbPreparedSrcLength = pash->cbSrcLength;
    pash->pbPreparedDst = pash->pbDst;
    pash->cbPreparedDstLength = pash->cbDstLength;
    pash->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwUnprepare)
{
    if (!has)
        return MMSYSERR_INVALHANDLE;
    if (!IsPreparedFor(has, pash))
        return ACMERR_UNPREPARED;
    pash->hasPrepared = nullptr;
    pash->pbPreparedSrc = nullptr;
    pash->cbPreparedSrcLength = 0;
    pash->pbPreparedDst = nullptr;
    pash->cbPreparedDstLength = 0;
    pash->fdwStatus = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwConvert)
{
    if (!has)
        return MMSYSERR_INVALHANDLE;
    if (!IsPreparedFor(has, pash))
        return ACMERR_UNPREPARED;
    if (fdwConvert
        & ~(ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END))
        return MMSYSERR_INVALFLAG;
    // The buffers must lie within what was prepared.
    if (pash->pbSrc != pash->pbPreparedSrc || pash->pbDst != pash->pbPreparedDst
        || pash->cbSrcLength > pash->cbPreparedSrcLength
        || pash->cbDstLength > pash->cbPreparedDstLength)
        return MMSYSERR_INVALPARAM;
    pash->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_DONE;
    if (fdwConvert & ACM_STREAMCONVERTF_START)
        has->pInstance->Reset();
    uint32_t cbSrcUsed = 0;
    uint32_t cbDstUsed = 0;
    MMRESULT mmr = MMSYSERR_NOERROR;
    if (pash->cbSrcLength > 0 || (fdwConvert & ACM_STREAMCONVERTF_END))
        mmr = has->pInstance->Convert(pash->pbSrc, pash->cbSrcLength, cbSrcUsed, pash->pbDst,
            pash->cbDstLength, cbDstUsed, fdwConvert);
    pash->cbSrcLengthUsed = mmr == MMSYSERR_NOERROR ? cbSrcUsed : 0;
    pash->cbDstLengthUsed = mmr == MMSYSERR_NOERROR ? cbDstUsed : 0;
    pash->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return mmr;
}

MMRESULT acmStreamReset(HACMSTREAM has, uint32_t fdwReset)
{
    return has ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT acmFormatSuggest(HACMDRIVER had, const LWaveFormat* pwfxSrc, LWaveFormat* pwfxDst,
    uint32_t cbwfxDst, uint32_t fdwSuggest)
{
    if (!pwfxSrc || !pwfxDst || !pwfxSrc->IsConsistent())
        return MMSYSERR_INVALPARAM;
    if (fdwSuggest & ~ACM_FORMATSUGGESTF_TYPEMASK)
        return MMSYSERR_INVALFLAG;
    for (const auto& p : LAcmDriverTable::Drivers()) {
        if (had && p.get() != had)
            continue;
        LWaveFormat wf = *pwfxDst;
        if (p->Suggest(*pwfxSrc, wf, fdwSuggest) != MMSYSERR_NOERROR)
            continue;
        if (sizeof(WAVEFORMATEX) + wf.vExtra.size() > cbwfxDst)
            continue;
        *pwfxDst = std::move(wf);
        return MMSYSERR_NOERROR;
    }
    return ACMERR_NOTPOSSIBLE;
}

MMRESULT acmDriverEnum(const ACMDRIVERENUMCB& fn, uint32_t fdwEnum)
{
    if (!fn)
        return MMSYSERR_INVALPARAM;
    for (const auto& p : LAcmDriverTable::Drivers())
        if (!fn(p.get(), p->Support()))
            break;
    return MMSYSERR_NOERROR;
}

MMRESULT acmDriverDetails(HACMDRIVERID hadid, ACMDRIVERDETAILS* padd, uint32_t fdwDetails)
{
    if (!hadid || !IsKnownDriver(hadid))
        return MMSYSERR_INVALHANDLE;
    if (!padd)
        return MMSYSERR_INVALPARAM;
    padd->fdwSupport = hadid->Support();
    padd->cFormatTags = 1;
    padd->strShortName = hadid->DriverName();
    padd->strLongName = hadid->DriverName();
    return MMSYSERR_NOERROR;
}

MMRESULT acmFormatTagEnum(
    HACMDRIVER had, ACMFORMATTAGDETAILS* paftd, const ACMFORMATTAGENUMCB& fn, uint32_t fdwEnum)
{
    if (!paftd || !fn)
        return MMSYSERR_INVALPARAM;
    if (had && !IsKnownDriver(had))
        return MMSYSERR_INVALHANDLE;
    uint32_t iIndex = 0;
    for (const auto& p : LAcmDriverTable::Drivers()) {
        if (had && p.get() != had)
            continue;
        ACMFORMATTAGDETAILS d;
        d.dwFormatTagIndex = iIndex++;
        d.dwFormatTag = p->FormatTag();
        d.fdwSupport = p->Support();
        d.strFormatTag = p->FormatTagName();
        LWaveFormat wf;
        for (uint32_t i = 0; p->GetFormat(i, wf); ++i) {
            d.cStandardFormats++;
            d.cbFormatSize = std::max<uint32_t>(d.cbFormatSize, uint32_t(18 + wf.vExtra.size()));
        }
        *paftd = d;
        if (!fn(p.get(), paftd, p->Support()))
            break;
    }
    return MMSYSERR_NOERROR;
}

namespace {

bool Matches(const LWaveFormat& wf, const ACMFORMATDETAILS& want, uint32_t fdwEnum)
{
    uint32_t uTag = want.dwFormatTag ? want.dwFormatTag : want.wfx.wfx.wFormatTag;
    return (!(fdwEnum & ACM_FORMATENUMF_WFORMATTAG) || wf.wfx.wFormatTag == uTag)
        && (!(fdwEnum & ACM_FORMATENUMF_NCHANNELS) || wf.wfx.nChannels == want.wfx.wfx.nChannels)
        && (!(fdwEnum & ACM_FORMATENUMF_NSAMPLESPERSEC)
            || wf.wfx.nSamplesPerSec == want.wfx.wfx.nSamplesPerSec)
        && (!(fdwEnum & ACM_FORMATENUMF_WBITSPERSAMPLE)
            || wf.wfx.wBitsPerSample == want.wfx.wfx.wBitsPerSample);
}

} // namespace

MMRESULT acmFormatEnum(
    HACMDRIVER had, ACMFORMATDETAILS* pafd, const ACMFORMATENUMCB& fn, uint32_t fdwEnum)
{
    if (!pafd || !fn)
        return MMSYSERR_INVALPARAM;
    if (had && !IsKnownDriver(had))
        return MMSYSERR_INVALHANDLE;
    const ACMFORMATDETAILS want = *pafd;
    for (const auto& p : LAcmDriverTable::Drivers()) {
        if (had && p.get() != had)
            continue;
        LWaveFormat wf;
        for (uint32_t i = 0; p->GetFormat(i, wf); ++i) {
            if (!Matches(wf, want, fdwEnum))
                continue;
            ACMFORMATDETAILS d;
            d.dwFormatIndex = i;
            d.dwFormatTag = wf.wfx.wFormatTag;
            d.fdwSupport = p->Support();
            d.strFormat = wf.Description();
            d.wfx = wf;
            *pafd = d;
            if (!fn(p.get(), pafd, p->Support()))
                return MMSYSERR_NOERROR;
        }
    }
    return MMSYSERR_NOERROR;
}

std::vector<LAcmFormatChoice> LAcmFormatList(uint16_t nChannels)
{
    std::vector<LAcmFormatChoice> v;
    for (const auto& p : LAcmDriverTable::Drivers()) {
        LWaveFormat wf;
        for (uint32_t i = 0; p->GetFormat(i, wf); ++i) {
            if (nChannels && wf.wfx.nChannels != nChannels)
                continue;
            v.push_back({ p.get(), p->FormatTagName(), wf.Description(), wf });
        }
    }
    return v;
}
