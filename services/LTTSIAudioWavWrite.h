#pragma once

#include "platform/LFile.h"
#include "platform/speech/LSpeechAudio.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The audio destination speech is synthesized into: a WAV file laid out as
// "RIFF" size "WAVE" "fmt " (18 + extra) format "data" size, the format
// as the engine gave it. The header is written with both sizes 0xFFFFFFFF
// when the format arrives (a format set again starts the file over); Close
// puts in the real ones.
//
// It presents two interfaces: itself as IAudio (claims, format, the
// notification sink) and GetDest() as IAudioDest (the bytes). Threads: the
// constructor, PassNotify, WaveFormatSet, Release and Close on the
// user-interface thread while the engine does not speak; Claim, FreeSpace,
// DataSet, BookMark and UnClaim on the engine thread; the flags from any
// thread. Owns the file it is given.
class LTTSIAudioWavWrite : public IAudio {
public:
    static constexpr uint32_t kMaxFormatBytes = 1024;

    explicit LTTSIAudioWavWrite(LFile file);

    // IAudio. AddRef and Release count nothing (the object lives on the
    // stack of the operation); Release forgets the sink.
    LResult QueryInterface(const LGuid& iid, void** ppv) override;
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override;
    LResult Flush() override { return kSOk; }
    LResult LevelGet(uint32_t*) override { return kENotImpl; }
    LResult LevelSet(uint32_t) override { return kENotImpl; }
    LResult PassNotify(void* pSink, const LGuid& iid) override;
    LResult PosnGet(uint64_t*) override { return kSOk; }
    LResult Claim() override;
    LResult UnClaim() override;
    LResult Start() override { return kSOk; }
    LResult Stop() override { return kSOk; }
    LResult TotalGet(uint64_t*) override { return kSOk; }
    LResult ToFileTime(uint64_t*, uint64_t*) override { return kSOk; }
    LResult WaveFormatGet(LSData*) override { return kAudErrNeedWaveFormat; }
    LResult WaveFormatSet(LSData format) override;

    IAudioDest& GetDest() { return dest; }
    bool IsFormatSet() const { return bFormatSet; }
    bool IsStarted() const { return bStarted; }
    bool IsFinished() const { return bFinished; }
    uint32_t GetDataBytes() const { return uDataBytes; }
    // The reason (errno) the file could not be written, 0 when none.
    int GetError() const { return file.GetError(); }
    // Puts the final sizes into the header (when a format was set) and
    // closes the file; false when the file could not be written. Only after
    // the engine has stopped.
    bool Close();

private:
    class LTTSAudioDest : public IAudioDest {
    public:
        explicit LTTSAudioDest(LTTSIAudioWavWrite& owner)
            : owner(owner)
        {
        }
        LResult QueryInterface(const LGuid& iid, void** ppv) override;
        uint32_t AddRef() override { return 1; }
        uint32_t Release() override { return 1; }
        LResult FreeSpace(uint32_t* pdwBuf, int* pfEOF) override;
        LResult DataSet(const void* pBuffer, uint32_t dwSize) override;
        LResult BookMark(uint32_t dwMarkId) override;

    private:
        LTTSIAudioWavWrite& owner;
    };

    uint32_t HeaderBytes() const { return 46u + ExtraBytes(); }
    uint32_t ExtraBytes() const;
    bool WriteHeader(uint32_t uRiff, uint32_t uData);

    LFile file;
    std::vector<uint8_t> format; // as given, up to 1024 bytes
    std::atomic<bool> bFormatSet { false };
    std::atomic<bool> bStarted { false };
    std::atomic<bool> bFinished { false };
    std::atomic<uint32_t> uDataBytes { 0 };
    std::atomic<IAudioDestNotifySink*> pSink { nullptr };
    LTTSAudioDest dest { *this };
};
