#pragma once

#include "platform/acm/LAcmDefs.h"
#include "platform/acm/LWaveFormat.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The codec manager: converts between WAVE formats and 16-bit PCM through
// the drivers of LAcmDriverTable, with the call shapes of the Windows audio
// compression manager. Streams are synchronous; a stream is used by one
// thread at a time, different streams by different threads freely.

class LAcmDriver;
struct LAcmStream;
using HACMSTREAM = LAcmStream*;
// Drivers are always open; a driver id doubles as a driver handle. A null
// handle means "any driver".
using HACMDRIVERID = const LAcmDriver*;
using HACMDRIVER = const LAcmDriver*;

struct ACMSTREAMHEADER {
    uint32_t cbStruct = sizeof(ACMSTREAMHEADER);
    uint32_t fdwStatus = 0;
    uintptr_t dwUser = 0;
    uint8_t* pbSrc = nullptr;
    uint32_t cbSrcLength = 0; // bytes to convert (at most the prepared size)
    uint32_t cbSrcLengthUsed = 0;
    uintptr_t dwSrcUser = 0;
    uint8_t* pbDst = nullptr;
    uint32_t cbDstLength = 0; // room (at most the prepared size)
    uint32_t cbDstLengthUsed = 0;
    uintptr_t dwDstUser = 0;
    // Set by acmStreamPrepareHeader: the stream and the buffers prepared.
    HACMSTREAM hasPrepared = nullptr;
    uint8_t* pbPreparedSrc = nullptr;
    uint32_t cbPreparedSrcLength = 0;
    uint8_t* pbPreparedDst = nullptr;
    uint32_t cbPreparedDstLength = 0;
};

// Opens a conversion stream pwfxSrc -> pwfxDst (one side 16-bit PCM) on the
// given driver or the first that accepts the pair. fdwOpen:
// ACM_STREAMOPENF_QUERY only tests (phas may be null), and
// ACM_STREAMOPENF_NONREALTIME admits drivers that are not real-time.
// pwfltr, dwCallback and dwInstance must be 0 (no filters, no callbacks).
// ACMERR_NOTPOSSIBLE when no driver can; MMSYSERR_INVALPARAM for
// inconsistent formats (cbSize other than the extra bytes carried).
MMRESULT acmStreamOpen(HACMSTREAM* phas, HACMDRIVER had, const LWaveFormat* pwfxSrc,
    const LWaveFormat* pwfxDst, const void* pwfltr, uintptr_t dwCallback, uintptr_t dwInstance,
    uint32_t fdwOpen);
// acmStreamOpen on any driver, real-time drivers first and then once more
// admitting the non-real-time ones, as every reader, writer and format check
// here opens its streams. fdwOpen may add ACM_STREAMOPENF_QUERY.
MMRESULT acmStreamOpenAnyDriver(
    HACMSTREAM* phas, const LWaveFormat* pwfxSrc, const LWaveFormat* pwfxDst, uint32_t fdwOpen = 0);
MMRESULT acmStreamClose(HACMSTREAM has, uint32_t fdwClose);
// ACM_STREAMSIZEF_SOURCE: cbInput source bytes -> destination bytes needed.
// ACM_STREAMSIZEF_DESTINATION: cbInput destination bytes -> source bytes that
// fill at most that. ACMERR_NOTPOSSIBLE (and 0) when not one block fits.
MMRESULT acmStreamSize(
    HACMSTREAM has, uint32_t cbInput, uint32_t* pdwOutputBytes, uint32_t fdwSize);
MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwPrepare);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwUnprepare);
// Converts pash->cbSrcLength bytes of pbSrc into pbDst (room cbDstLength)
// and sets cbSrcLengthUsed, cbDstLengthUsed and the DONE status. fdwConvert:
// ACM_STREAMCONVERTF_START resets the codec first, _BLOCKALIGN converts
// whole blocks only, _END converts or drops the final short block.
// The caller moves unused source bytes to the front itself.
MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwConvert);
// Resets a stream (nothing is pending in a synchronous stream).
MMRESULT acmStreamReset(HACMSTREAM has, uint32_t fdwReset);

// Fills *pwfxDst with a destination format for pwfxSrc (see
// LAcmDriver::Suggest); fdwSuggest's ACM_FORMATSUGGESTF_* bits fix fields
// already set in *pwfxDst. ACMERR_NOTPOSSIBLE when no driver has one.
// cbwfxDst is the caller's buffer limit in bytes (18 + extra), as with the
// Windows call; a suggestion that would not fit fails.
MMRESULT acmFormatSuggest(HACMDRIVER had, const LWaveFormat* pwfxSrc, LWaveFormat* pwfxDst,
    uint32_t cbwfxDst, uint32_t fdwSuggest);

struct ACMDRIVERDETAILS {
    uint32_t fdwSupport = 0;
    uint32_t cFormatTags = 0;
    std::string strShortName;
    std::string strLongName;
};
using ACMDRIVERENUMCB = std::function<bool(HACMDRIVERID hadid, uint32_t fdwSupport)>;
// Calls fn for every driver in table order until it returns false.
MMRESULT acmDriverEnum(const ACMDRIVERENUMCB& fn, uint32_t fdwEnum);
MMRESULT acmDriverDetails(HACMDRIVERID hadid, ACMDRIVERDETAILS* padd, uint32_t fdwDetails);

struct ACMFORMATTAGDETAILS {
    uint32_t dwFormatTagIndex = 0;
    uint32_t dwFormatTag = 0;
    uint32_t cbFormatSize = 0; // largest byte image of this tag's formats
    uint32_t fdwSupport = 0;
    uint32_t cStandardFormats = 0;
    std::string strFormatTag; // e.g. "IMA ADPCM"
};
using ACMFORMATTAGENUMCB = std::function<bool(
    HACMDRIVERID hadid, const ACMFORMATTAGDETAILS* paftd, uint32_t fdwSupport)>;
// One call per driver (each lists one tag); had restricts to one driver.
MMRESULT acmFormatTagEnum(
    HACMDRIVER had, ACMFORMATTAGDETAILS* paftd, const ACMFORMATTAGENUMCB& fn, uint32_t fdwEnum);

struct ACMFORMATDETAILS {
    uint32_t dwFormatIndex = 0;
    uint32_t dwFormatTag = 0; // with ACM_FORMATENUMF_WFORMATTAG: the tag wanted
    uint32_t fdwSupport = 0;
    LWaveFormat wfx; // in: values for the ACM_FORMATENUMF_* restrictions; out: the format
    std::string strFormat; // e.g. "8.000 kHz, Mono, 13 kBit/s"
};
using ACMFORMATENUMCB
    = std::function<bool(HACMDRIVERID hadid, const ACMFORMATDETAILS* pafd, uint32_t fdwSupport)>;
// Lists the standard formats of every driver (or of had), restricted by the
// ACM_FORMATENUMF_WFORMATTAG / NCHANNELS / NSAMPLESPERSEC / WBITSPERSAMPLE
// bits to the values in pafd->wfx (the tag from pafd->dwFormatTag when set,
// else pafd->wfx.wfx.wFormatTag), until fn returns false.
MMRESULT acmFormatEnum(
    HACMDRIVER had, ACMFORMATDETAILS* pafd, const ACMFORMATENUMCB& fn, uint32_t fdwEnum);

// The chooser's list in one piece: for each driver its tag name and the
// formats offered, each with its display text.
struct LAcmFormatChoice {
    HACMDRIVERID hadid = nullptr;
    std::string strFormatTag;
    std::string strFormat;
    LWaveFormat wfx;
};
// nChannels 0 means any channel count.
std::vector<LAcmFormatChoice> LAcmFormatList(uint16_t nChannels);
