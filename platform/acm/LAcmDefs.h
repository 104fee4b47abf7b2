#pragma once

#include "platform/LMMResult.h"

#include <cstdint>

// Result codes and flags of the codec manager, with the values a Windows
// program would see, so code written against that interface reads the same.
constexpr MMRESULT ACMERR_BASE = 512;
constexpr MMRESULT ACMERR_NOTPOSSIBLE = ACMERR_BASE + 0;
constexpr MMRESULT ACMERR_BUSY = ACMERR_BASE + 1;
constexpr MMRESULT ACMERR_UNPREPARED = ACMERR_BASE + 2;
constexpr MMRESULT ACMERR_CANCELED = ACMERR_BASE + 3;

// acmStreamOpen
constexpr uint32_t ACM_STREAMOPENF_QUERY = 0x00000001;
constexpr uint32_t ACM_STREAMOPENF_ASYNC = 0x00000002; // not supported here
constexpr uint32_t ACM_STREAMOPENF_NONREALTIME = 0x00000004;

// acmStreamSize
constexpr uint32_t ACM_STREAMSIZEF_SOURCE = 0x00000000;
constexpr uint32_t ACM_STREAMSIZEF_DESTINATION = 0x00000001;
constexpr uint32_t ACM_STREAMSIZEF_QUERYMASK = 0x0000000F;

// acmStreamConvert
constexpr uint32_t ACM_STREAMCONVERTF_BLOCKALIGN = 0x00000004;
constexpr uint32_t ACM_STREAMCONVERTF_START = 0x00000010;
constexpr uint32_t ACM_STREAMCONVERTF_END = 0x00000020;

// ACMSTREAMHEADER::fdwStatus
constexpr uint32_t ACMSTREAMHEADER_STATUSF_DONE = 0x00010000;
constexpr uint32_t ACMSTREAMHEADER_STATUSF_PREPARED = 0x00020000;
constexpr uint32_t ACMSTREAMHEADER_STATUSF_INQUEUE = 0x00100000;

// acmFormatEnum restrictions (values taken from ACMFORMATDETAILS::pwfx)
constexpr uint32_t ACM_FORMATENUMF_WFORMATTAG = 0x00010000;
constexpr uint32_t ACM_FORMATENUMF_NCHANNELS = 0x00020000;
constexpr uint32_t ACM_FORMATENUMF_NSAMPLESPERSEC = 0x00040000;
constexpr uint32_t ACM_FORMATENUMF_WBITSPERSAMPLE = 0x00080000;
constexpr uint32_t ACM_FORMATENUMF_CONVERT = 0x00100000;
constexpr uint32_t ACM_FORMATENUMF_SUGGEST = 0x00200000;
constexpr uint32_t ACM_FORMATENUMF_INPUT = 0x00800000;
constexpr uint32_t ACM_FORMATENUMF_OUTPUT = 0x01000000;

// acmFormatSuggest restrictions (values taken from the destination)
constexpr uint32_t ACM_FORMATSUGGESTF_WFORMATTAG = 0x00010000;
constexpr uint32_t ACM_FORMATSUGGESTF_NCHANNELS = 0x00020000;
constexpr uint32_t ACM_FORMATSUGGESTF_NSAMPLESPERSEC = 0x00040000;
constexpr uint32_t ACM_FORMATSUGGESTF_WBITSPERSAMPLE = 0x00080000;
constexpr uint32_t ACM_FORMATSUGGESTF_TYPEMASK = 0x00FF0000;

// ACMDRIVERDETAILS::fdwSupport / the enumeration callbacks' fdwSupport
constexpr uint32_t ACMDRIVERDETAILS_SUPPORTF_CODEC = 0x00000001;
constexpr uint32_t ACMDRIVERDETAILS_SUPPORTF_CONVERTER = 0x00000002;

// ACMFORMATCHOOSE::fdwStyle
constexpr uint32_t ACMFORMATCHOOSE_STYLEF_INITTOWFXSTRUCT = 0x00000040;
