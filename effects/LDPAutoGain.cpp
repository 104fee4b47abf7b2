#include "effects/LDPAutoGain.h"

#include "edit/LAudioCutTank.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LEfRenderRange.h"
#include "effects/LMeanSquareLevel.h"
#include "effects/LPRSourceToSink.h"
#include "effects/LSRCLowCutFilter.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <cerrno>

namespace {
constexpr size_t kLevelChunk = 4096; // level bytes written at once

// A private file in the folder that disappears with its descriptor.
bool OpenPrivate(LFile& file, const std::string& strFolder, const char* szPrefix)
{
    std::string strPath;
    if (!file.OpenUnique(strFolder, szPrefix, ".tmp", strPath))
        return false;
    LFile::Delete(strPath);
    return true;
}
} // namespace

LDPAutoGain::LDPAutoGain(
    SourceHandle hSrc, LSoundSinkBase& snk, bool bFade, const LAutoGainSettings& s)
    : hSource(std::move(hSrc))
    , sink(snk)
    , bFadeAtEnd(bFade)
    , settings(s)
{
    if (hSource
        && (hSource->GetChannels() != sink.GetChannels()
            || hSource->GetSampleRate() != sink.GetSampleRate()))
        hSource = MatchSourceToSink(hSource, sink);
    iBlock = std::clamp(sink.GetSampleRate() / 50, 20, 8192);
    iLength = hSource ? hSource->GetLength() : 0;
    if (!hSource || hSource->IsError() || sink.IsError())
        return;
    const std::string& strFolder = LAudioCutTank::Get().GetFolder();
    if (!OpenPrivate(audio, strFolder, "lca") || !OpenPrivate(levels, strFolder, "lcp")) {
        iErrno = audio.IsOpen() ? levels.GetError() : audio.GetError();
        LTrace("LDPAutoGain::LDPAutoGain cannot create its files in \"%s\"", strFolder.c_str());
        return;
    }
    const int32_t iRate = hSource->GetSampleRate();
    analysis = { LSRCLowCutFilter::Coefficient(settings.iLowHz, iRate),
        LSRCLowCutFilter::Coefficient(settings.iHighHz, iRate) };
    const size_t uCh = size_t(hSource->GetChannels());
    states.assign(uCh, {});
    histograms.assign(uCh, Histogram {});
    buffer.resize(size_t(iBlock) * uCh);
    filtered.resize(size_t(iBlock));
    hSource->Seek(0);
    bReady = true;
}

LDPAutoGain::Result LDPAutoGain::Fail(int iError)
{
    iErrno = iError;
    bReady = false;
    return kFailed;
}

double LDPAutoGain::GetProgress() const
{
    const double dPass = iLength > 0 ? double(iDone) / double(iLength) : 1.0;
    return (bSecondPass ? 0.5 : 0.0) + dPass / 2;
}

LDPAutoGain::Result LDPAutoGain::Step()
{
    if (!bReady)
        return kFailed;
    return bSecondPass ? SecondPassBlock() : FirstPassBlock();
}

LDPAutoGain::Result LDPAutoGain::FirstPassBlock()
{
    if (iDone >= iLength)
        return StartSecondPass();
    const int32_t n = std::min(iBlock, iLength - iDone);
    const size_t uCh = states.size();
    hSource->Read(buffer.data(), n);
    const int64_t iBytes = int64_t(n) * int64_t(uCh) * 4;
    if (audio.Write(buffer.data(), iBytes) != iBytes)
        return Fail(audio.GetError() ? audio.GetError() : ENOSPC);
    const int64_t c1 = analysis[0], c2 = analysis[1];
    for (size_t c = 0; c < uCh; ++c) {
        // A high-pass at the low frequency, with the part above the high one
        // counted twice.
        auto [u1, u2] = states[c];
        for (int32_t f = 0; f < n; ++f) {
            int64_t x = int64_t(buffer[size_t(f) * uCh + c]) - (u1 >> 8);
            u1 += x * c1;
            const int64_t d = x - (u2 >> 8);
            u2 += d * c2;
            x += d;
            filtered[size_t(f)] = int32_t(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
        }
        states[c] = { u1, u2 };
        const int iLevel = MeanSquareLevelDb(filtered.data(), size_t(n));
        ++histograms[c][size_t(iLevel + 128)];
        pendingLevels.push_back(uint8_t(int8_t(iLevel)));
    }
    iDone += n;
    if (pendingLevels.size() >= kLevelChunk || iDone >= iLength) {
        const int64_t iSize = int64_t(pendingLevels.size());
        if (levels.Write(pendingLevels.data(), iSize) != iSize)
            return Fail(levels.GetError() ? levels.GetError() : ENOSPC);
        pendingLevels.clear();
    }
    return kMore;
}

int LDPAutoGain::ReferenceLevel(const Histogram& counts)
{
    int64_t nBlocks = 0;
    for (int64_t n : counts)
        nBlocks += n;
    // The loudest eighth: the lowest level with at most (N + 8) / 8 blocks
    // at or above it.
    const int64_t iEighth = (nBlocks + 8) / 8;
    int64_t iAtOrAbove = nBlocks;
    int iLoud = 127;
    for (int d = -128; d < 128; ++d) {
        if (iAtOrAbove <= iEighth) {
            iLoud = d;
            break;
        }
        iAtOrAbove -= counts[size_t(d + 128)];
    }
    // The median of the blocks from 15 dB below it up.
    const int iFrom = iLoud < -112 ? -127 : iLoud - 15;
    int64_t iInRange = 0;
    for (int d = iFrom; d < 128; ++d)
        iInRange += counts[size_t(d + 128)];
    int64_t iAbove = iInRange;
    for (int d = iFrom; d < 128; ++d) {
        iAbove -= counts[size_t(d + 128)];
        if (iAbove <= (iInRange + 1) / 2)
            return d;
    }
    return 127;
}

LDPAutoGain::Result LDPAutoGain::StartSecondPass()
{
    for (const Histogram& h : histograms)
        references.push_back(ReferenceLevel(h));
    hSecond = MakeHandle<LDPSRCAutoGain>(hSource->GetSampleRate(), hSource->GetChannels(),
        references, iLength, std::move(audio), std::move(levels), iBlock, settings, bFadeAtEnd);
    hSource = SourceHandle(); // the first pass's input is done with
    hOutput = MatchSourceToSink(hSecond, sink);
    if (!hOutput)
        return Fail(0);
    bSecondPass = true;
    iDone = 0;
    return kMore;
}

LDPAutoGain::Result LDPAutoGain::SecondPassBlock()
{
    if (iDone >= iLength)
        return kDone;
    const int32_t n = std::min(iBlock, iLength - iDone);
    hOutput->Read(buffer.data(), n);
    if (hSecond->HasFailed())
        return Fail(EIO);
    sink.Write(buffer.data(), n);
    if (sink.IsError())
        return Fail(sink.GetErrno());
    iDone += n;
    return kMore;
}

int ProcessBody(LProgressDialog& dlg, EfAutoGainControl& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd < data.iStart) {
        LTrace("Process EfAutoGainControl Data.sEnd < Data.sStart");
        return 2;
    }
    if (data.iEnd == data.iStart)
        return 0;
    dlg.SetText("Automatic Gain Control", 0);
    dlg.SetText("Please wait...", 1);
    LCutListAudio range;
    data.pDoc->EfCopy(data.iStart, data.iEnd, range);
    // Fading the last block out suits the end of the audio; inside it, a
    // fade to silence would be a click.
    const bool bFade = data.iEnd >= data.pDoc->GetTotalLength();
    return EfRenderRange(dlg, *data.pDoc, data.iStart, data.iEnd, [&](LSoundSinkBase& sink) {
        LDPAutoGain agc(MakeHandle<LSRCCutListAudio>(range), sink, bFade);
        if (!agc.IsReady())
            return EfWriteFailed(dlg, agc.GetErrno());
        for (;;) {
            if (dlg.CheckCancel())
                return 1;
            const LDPAutoGain::Result r = agc.Step();
            if (r == LDPAutoGain::kDone)
                return 0;
            if (r == LDPAutoGain::kFailed)
                return EfWriteFailed(dlg, agc.GetErrno());
            dlg.SetProgress(agc.GetProgress());
        }
    });
}
