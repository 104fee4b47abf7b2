#pragma once

#include "platform/acm/LAcmDefs.h"
#include "platform/acm/LWaveFormat.h"

#include <cstdint>
#include <memory>
#include <vector>

// Codec drivers of the codec manager (LAcm.h). A driver converts between its
// format(s) and 16-bit PCM of the same rate and channels, in either
// direction it supports. Drivers are immutable singletons owned by
// LAcmDriverTable and may be used from any thread; all per-stream state lives
// in the LAcmStreamInstance a driver creates, used by one thread at a time.
//
// Adding a driver: write a factory `LAcmDriver* CreateXxxDriver();` (returns a
// new object, the table takes ownership), declare it below and list it in
// LAcmDriverTable.cpp. The codecs themselves live in codecs/; a driver only
// checks formats and adapts a codec to the stream calls.

// Per-stream conversion state, created by LAcmDriver::Open for one
// source/destination pair that the driver accepted.
class LAcmStreamInstance {
public:
    virtual ~LAcmStreamInstance() = default;

    // Forget all history (codec state, partial input): the next Convert
    // starts a new stream. The manager calls it for ACM_STREAMCONVERTF_START.
    virtual void Reset() = 0;

    // Converts from pSrc (cbSrc bytes) into pDst (room for cbDst bytes) and
    // reports the bytes consumed and produced. fdwConvert may hold
    // ACM_STREAMCONVERTF_BLOCKALIGN (only whole blocks) and
    // ACM_STREAMCONVERTF_END (last call: a short final block is converted or
    // dropped, and any delayed output flushed). Without BLOCKALIGN a short
    // final block is converted as with END. Never reads or writes beyond the
    // given sizes. Returns MMSYSERR_NOERROR, or an error when the data cannot
    // be converted at all.
    virtual MMRESULT Convert(const uint8_t* pSrc, uint32_t cbSrc, uint32_t& cbSrcUsed,
        uint8_t* pDst, uint32_t cbDst, uint32_t& cbDstUsed, uint32_t fdwConvert)
        = 0;

    // ACM_STREAMSIZEF_SOURCE: destination bytes needed for cbInput source
    // bytes (an upper bound, enough for the END call).
    // ACM_STREAMSIZEF_DESTINATION: source bytes whose output fits in cbInput
    // destination bytes. cbOutput 0 means not even one block fits.
    virtual MMRESULT Size(uint32_t cbInput, uint32_t& cbOutput, uint32_t fdwSize) const = 0;
};

// A stream that converts fixed blocks: every cbSrcBlock source bytes become
// cbDstBlock destination bytes (PCM frames, G.711 samples, ADPCM and GSM
// blocks). Convert and Size are done here; a codec supplies the block work.
class LAcmBlockStream : public LAcmStreamInstance {
public:
    MMRESULT Convert(const uint8_t* pSrc, uint32_t cbSrc, uint32_t& cbSrcUsed, uint8_t* pDst,
        uint32_t cbDst, uint32_t& cbDstUsed, uint32_t fdwConvert) override;
    MMRESULT Size(uint32_t cbInput, uint32_t& cbOutput, uint32_t fdwSize) const override;
    void Reset() override { }

    uint32_t SrcBlockBytes() const { return cbSrcBlock; }
    uint32_t DstBlockBytes() const { return cbDstBlock; }

protected:
    // Both block sizes must be at least 1.
    LAcmBlockStream(uint32_t cbSrcBlockIn, uint32_t cbDstBlockIn);

    // Converts nBlocks whole blocks, one after the other in both buffers.
    virtual void ConvertBlocks(const uint8_t* pSrc, uint8_t* pDst, uint32_t nBlocks) = 0;

    // Converts a short final block (0 < cbSrc < cbSrcBlock) into pDst, which
    // has room for cbDstBlock bytes; returns the bytes written. The default
    // pads the input with zeros to a whole block when the stream was made
    // with padding (encoders), and drops it otherwise (decoders).
    virtual uint32_t ConvertTail(const uint8_t* pSrc, uint32_t cbSrc, uint8_t* pDst);

    // Encoders: a short final input block is completed with silence.
    void SetPadTail(bool b) { bPadTail = b; }

private:
    uint32_t cbSrcBlock;
    uint32_t cbDstBlock;
    bool bPadTail = false;
    std::vector<uint8_t> vTail; // the padded block, sized once
};

class LAcmDriver {
public:
    virtual ~LAcmDriver() = default;

    // The tag whose formats this driver lists for the chooser.
    virtual uint16_t FormatTag() const = 0;
    // Driver name, e.g. "IMA ADPCM Codec".
    virtual const char* DriverName() const = 0;
    // Format tag name shown in the chooser, e.g. "IMA ADPCM".
    virtual const char* FormatTagName() const = 0;
    // ACMDRIVERDETAILS_SUPPORTF_CODEC for a codec, _CONVERTER for PCM ones.
    virtual uint32_t Support() const { return ACMDRIVERDETAILS_SUPPORTF_CODEC; }
    // False for a driver that must be opened with ACM_STREAMOPENF_NONREALTIME.
    virtual bool IsRealTime() const { return true; }

    // The standard formats offered in the chooser, by index from 0; false
    // past the last one.
    virtual bool GetFormat(uint32_t iIndex, LWaveFormat& wf) const = 0;

    // MMSYSERR_NOERROR when a stream src -> dst can be opened, else
    // ACMERR_NOTPOSSIBLE. Both formats are consistent (cbSize = extra
    // bytes) but otherwise untrusted: a driver validates every field it uses.
    virtual MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const = 0;

    // Per-stream state for a pair that Query accepted; null when it did not.
    virtual std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const = 0;

    // Suggests a destination for src. fdwSuggest holds
    // ACM_FORMATSUGGESTF_* bits naming fields of dst that are fixed. The
    // default handles the usual codec case: src in this driver's format gives
    // 16-bit PCM of the same rate and channels; src 16-bit PCM with the
    // driver's tag requested gives its first standard format of the same rate
    // and channels, if any.
    virtual MMRESULT Suggest(const LWaveFormat& src, LWaveFormat& dst, uint32_t fdwSuggest) const;
};

// A codec between its format and 16-bit PCM of the same rate and channels,
// in both directions unless it only decodes: Query and Open are the same
// for every such driver and are done here.
class LAcmCodecDriver : public LAcmDriver {
public:
    MMRESULT Query(const LWaveFormat& src, const LWaveFormat& dst) const override;
    std::unique_ptr<LAcmStreamInstance> Open(
        const LWaveFormat& src, const LWaveFormat& dst) const override;

protected:
    // True when wf is this codec's format with values it can code.
    virtual bool Accepts(const LWaveFormat& wf) const = 0;
    // False for a codec that only decodes.
    virtual bool Encodes() const { return true; }
    // The stream from coded (a format Accepts took) to PCM when bDecode,
    // else from PCM to coded.
    virtual std::unique_ptr<LAcmStreamInstance> OpenCoded(
        const LWaveFormat& coded, bool bDecode) const = 0;

private:
    // 1: coded src to PCM dst, 2: PCM src to coded dst, 0: neither.
    int Direction(const LWaveFormat& src, const LWaveFormat& dst) const;
};

// The registry the manager reads: every driver, created once on first use
// (thread-safe), in table order (the first driver that accepts a pair wins).
class LAcmDriverTable {
public:
    static const std::vector<std::unique_ptr<LAcmDriver>>& Drivers();
};

// Factories of the built-in drivers.
LAcmDriver* CreatePcmDriver();
LAcmDriver* CreateFloatDriver();
LAcmDriver* CreateAlawDriver();
LAcmDriver* CreateMulawDriver();
LAcmDriver* CreateImaAdpcmDriver();
LAcmDriver* CreateMsAdpcmDriver();
// GSM 6.10 (tag 0x31): mono, 65-byte blocks of 320 samples.
LAcmDriver* CreateGsmDriver();
// MPEG Layer 3 (tag 0x55): MPEG-1, 2 and 2.5 Layer III, decoding only.
LAcmDriver* CreateMp3Driver();
