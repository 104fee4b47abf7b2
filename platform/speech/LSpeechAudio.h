#pragma once

#include <cstdint>

// The contract between the speech engine and the audio destination it
// speaks into, in the shape the editor's speech code was written against:
// every call returns a 32-bit result (0 success, high bit set failure) and
// interfaces are asked for by identifier. Which thread makes which call is
// said at LTTSCentral.

using LResult = int32_t;
constexpr LResult kSOk = 0;
constexpr LResult kENotImpl = int32_t(0x80004001u);
constexpr LResult kENoInterface = int32_t(0x80004002u);
constexpr LResult kEFail = int32_t(0x80004005u);
// Data or a format query before any wave format was set.
constexpr LResult kAudErrNeedWaveFormat = int32_t(0x80040302u);
// A wave format the destination does not take (larger than 1024 bytes, or
// shorter than its own header says).
constexpr LResult kAudErrWaveFormatNotSupported = int32_t(0x80040202u);

struct LGuid {
    uint32_t d1;
    uint16_t d2;
    uint16_t d3;
    uint8_t d4[8];
    bool operator==(const LGuid&) const = default;
};

inline constexpr LGuid IID_IUnknown { 0x00000000, 0x0000, 0x0000,
    { 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } };
inline constexpr LGuid IID_IAudio { 0xF546B340, 0xC743, 0x11CD,
    { 0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50 } };
inline constexpr LGuid IID_IAudioDest { 0x2EC34DA0, 0xC743, 0x11CD,
    { 0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50 } };
inline constexpr LGuid IID_IAudioDestNotifySink { 0xACB08C00, 0xC743, 0x11CD,
    { 0x80, 0xE5, 0x00, 0xAA, 0x00, 0x3E, 0x4B, 0x50 } };

// A block of bytes passed by pointer and size (not owned).
struct LSData {
    const void* pData = nullptr;
    uint32_t dwSize = 0;
};

// Told by the destination when audio starts, stops and reaches a bookmark.
class IAudioDestNotifySink {
public:
    virtual void AudioStop(uint16_t wReason) = 0;
    virtual void AudioStart() = 0;
    virtual void BookMark(uint32_t dwMarkId) = 0;

protected:
    ~IAudioDestNotifySink() = default;
};

class LUnknown {
public:
    // *ppv gets the interface asked for, or null with kENoInterface.
    virtual LResult QueryInterface(const LGuid& iid, void** ppv) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~LUnknown() = default;
};

// The audio object an engine is given: claims, format and notifications.
class IAudio : public LUnknown {
public:
    virtual LResult Flush() = 0;
    virtual LResult LevelGet(uint32_t* pdwLevel) = 0;
    virtual LResult LevelSet(uint32_t dwLevel) = 0;
    // pSink is an IAudioDestNotifySink when iid says so (not owned; kept
    // until Release).
    virtual LResult PassNotify(void* pSink, const LGuid& iid) = 0;
    virtual LResult PosnGet(uint64_t* pqwPosition) = 0;
    virtual LResult Claim() = 0;
    virtual LResult UnClaim() = 0;
    virtual LResult Start() = 0;
    virtual LResult Stop() = 0;
    virtual LResult TotalGet(uint64_t* pqwTotal) = 0;
    virtual LResult ToFileTime(uint64_t* pqwPosition, uint64_t* pqwFileTime) = 0;
    virtual LResult WaveFormatGet(LSData* pFormat) = 0;
    // A WAVEFORMATEX image with its extra bytes.
    virtual LResult WaveFormatSet(LSData format) = 0;

protected:
    ~IAudio() = default;
};

// Where the engine's audio bytes go.
class IAudioDest : public LUnknown {
public:
    virtual LResult FreeSpace(uint32_t* pdwBuf, int* pfEOF) = 0;
    virtual LResult DataSet(const void* pBuffer, uint32_t dwSize) = 0;
    virtual LResult BookMark(uint32_t dwMarkId) = 0;

protected:
    ~IAudioDest() = default;
};
