#pragma once

#include "audio/LSoundSourceBase.h"
#include "audio/LWaveFile.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <numbers>
#include <thread>
#include <vector>

// Sources and readers shared by the test programs of the audio layer and
// above (header only: the lower layers' programs do not link audio).
namespace TestSupport {

// A source computing each sample from its frame and channel inside
// [0, length), zeros outside; seekable to any frame, negative included.
// Counts its reads. Used by the test's thread (or the one pulling it).
class FnSource : public LSoundSourceBase {
public:
    using Fn = std::function<int32_t(int64_t, int)>;
    FnSource(int32_t iRate, int iCh, int32_t iLen, Fn fn, uint32_t uPeak = kInternalFullScale)
        : LSoundSourceBase(iRate, iCh, uPeak)
        , iLength(iLen)
        , fn(std::move(fn))
    {
    }
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        ++iReads;
        for (int32_t f = 0; f < n; ++f, ++iPos)
            for (int c = 0; c < GetChannels(); ++c)
                *p++ = Value(iPos, c);
        return n;
    }
    int32_t Value(int64_t f, int c) const { return f >= 0 && f < iLength ? fn(f, c) : 0; }
    int32_t GetPosition() override { return iPos; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t f) override { iPos = f; }

    int32_t iLength;
    int32_t iPos = 0;
    int iReads = 0;

private:
    Fn fn;
};

// A counting ramp: frame x 16 + channel.
inline LHandle<FnSource> RampSource(int32_t iLen, int iCh, int32_t iRate)
{
    return MakeHandle<FnSource>(
        iRate, iCh, iLen, [](int64_t f, int c) { return int32_t(f * 16 + c); });
}

// A sine of dHz with the given peak on every channel.
inline LHandle<FnSource> SineSource(
    int32_t iLen, int iCh, int32_t iRate, double dHz, int32_t iPeak = 0x40000)
{
    return MakeHandle<FnSource>(iRate, iCh, iLen, [=](int64_t f, int) {
        return int32_t(
            std::lround(iPeak * std::sin(2 * std::numbers::pi * dHz * double(f) / iRate)));
    });
}

// iFrames frames read in pieces of iPiece.
inline std::vector<int32_t> ReadFrames(LSoundSourceBase& s, int32_t iFrames, int32_t iPiece = 1000)
{
    std::vector<int32_t> out(size_t(iFrames) * size_t(s.GetChannels()));
    for (int32_t i = 0; i < iFrames; i += iPiece)
        s.Read(out.data() + size_t(i) * size_t(s.GetChannels()), std::min(iPiece, iFrames - i));
    return out;
}

// Rising zero crossings per second over v[uFrom, uTo) of a mono signal.
inline double CrossingHz(const std::vector<int32_t>& v, size_t uFrom, size_t uTo, int32_t iRate)
{
    int iCross = 0;
    size_t uFirst = 0, uLast = 0;
    for (size_t i = uFrom + 1; i < uTo; ++i)
        if (v[i - 1] < 0 && v[i] >= 0) {
            if (iCross++ == 0)
                uFirst = i;
            uLast = i;
        }
    return iCross > 1 ? (iCross - 1) * double(iRate) / double(uLast - uFirst) : 0;
}

// A 16-bit WAV whose frame f holds ((f mod 20000) - 10000 + c x iChannelStep)
// x 16 in channel c.
inline std::string MakeRampWav(const TempDir& dir, const std::string& strName, int32_t iRate,
    int iChannels, int32_t iFrames, int iChannelStep = 0)
{
    std::string strPath = dir.File(strName);
    SinkHandle h = LWaveFile::OpenSinkPCM(strPath, iRate, iChannels, 16, 0);
    std::vector<int32_t> block(size_t(iChannels) * 1000);
    for (int32_t f = 0; f < iFrames; f += 1000) {
        int32_t n = std::min(1000, iFrames - f);
        for (int32_t i = 0; i < n; ++i)
            for (int c = 0; c < iChannels; ++c)
                block[size_t(i) * size_t(iChannels) + size_t(c)]
                    = (((f + i) % 20000) - 10000 + c * iChannelStep) * 16;
        h->Write(block.data(), n);
    }
    return strPath;
}

// Calls fnPump every 5 ms until fnDone holds or iMaxMs pass; false on timeout.
inline bool PumpUntil(
    const std::function<bool()>& fnDone, const std::function<void()>& fnPump, int iMaxMs = 5000)
{
    const auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(iMaxMs);
    while (!fnDone()) {
        if (std::chrono::steady_clock::now() > tEnd)
            return false;
        fnPump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    fnPump();
    return true;
}

} // namespace TestSupport
