#include "effects/EfMixPaste.h"

#include "edit/LGainMultiply.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LEfRenderRange.h"

#include <algorithm>
#include <vector>

namespace {
int32_t Add(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

// The gain of channel c: left for even channels, right for odd ones; a mono
// document has no pan, so it mixes at the mean of the two.
struct Gains {
    int32_t aGain[2];
    int32_t Of(size_t c) const { return aGain[c & 1]; }
};

// Full-volume part: doc += (clip x (g >> 15)) >> 9, the product taken in 64
// bits so a loud clip at a raised gain cannot wrap.
void MixConstant(int32_t* pDoc, const int32_t* pClip, int32_t nFrames, size_t uCh, const Gains& g)
{
    for (int32_t f = 0; f < nFrames; ++f, pDoc += uCh, pClip += uCh)
        for (size_t c = 0; c < uCh; ++c)
            pDoc[c] = Add(pDoc[c], int32_t((int64_t(pClip[c]) * (g.Of(c) >> 15)) >> 9));
}

// Fading part: every frame at the full-precision product, the gains then
// falling by their steps.
void MixFade(
    int32_t* pDoc, const int32_t* pClip, int32_t nFrames, size_t uCh, Gains& g, const Gains& step)
{
    for (int32_t f = 0; f < nFrames; ++f, pDoc += uCh, pClip += uCh) {
        for (size_t c = 0; c < uCh; ++c)
            pDoc[c] = Add(pDoc[c], GainMultiply(pClip[c], g.Of(c)));
        g.aGain[0] -= step.aGain[0];
        g.aGain[1] -= step.aGain[1];
    }
}

int RenderMix(LProgressDialog& dlg, const LCutListAudio& range, const LCutListAudio& clip,
    int32_t iTotal, int32_t iFadeStart, Gains g, LSoundSinkBase& sink)
{
    LSRCCutListAudio docSrc(range), clipSrc(clip);
    const size_t uCh = size_t(docSrc.GetChannels());
    std::vector<int32_t> docBlock(uCh * kBlockFrames), clipBlock(uCh * kBlockFrames);
    for (int32_t iDone = 0; iDone < iTotal;) {
        if (dlg.CheckCancel())
            return 1;
        bool bFading = iDone >= iFadeStart;
        int32_t n = std::min(kBlockFrames, (bFading ? iTotal : iFadeStart) - iDone);
        docSrc.Read(docBlock.data(), n);
        clipSrc.Read(clipBlock.data(), n);
        if (bFading) {
            int32_t iLeft = iTotal - iDone;
            Gains step { { g.aGain[0] / iLeft, g.aGain[1] / iLeft } };
            MixFade(docBlock.data(), clipBlock.data(), n, uCh, g, step);
        } else {
            MixConstant(docBlock.data(), clipBlock.data(), n, uCh, g);
        }
        sink.Write(docBlock.data(), n);
        iDone += n;
        dlg.SetProgress(double(iDone) / double(iTotal));
    }
    return 0;
}
} // namespace

void MixPanGains(int iVolume, int iPan, int32_t* pLeft, int32_t* pRight)
{
    // In 64 bits: twice full volume is 2^25, beyond what 32-bit
    // intermediate products hold.
    int64_t iPanned = std::clamp(iPan, 0, 100);
    int64_t iLeft = ((((100 - iPanned) * iVolume) / 50) << 24) / 100;
    int64_t iRight = (((iVolume * iPanned) / 50) << 24) / 100;
    *pLeft = int32_t(std::clamp<int64_t>(iLeft, -0x7FFFFFFF, 0x7FFFFFFF));
    *pRight = int32_t(std::clamp<int64_t>(iRight, -0x7FFFFFFF, 0x7FFFFFFF));
}

int ProcessBody(LProgressDialog& dlg, EfMixPaste& data)
{
    if (!data.pDoc || !data.pClip)
        return 2;
    if (data.iEnd < data.iStart)
        return 0;
    LCutListAudio& doc = *data.pDoc;
    dlg.SetText("Pasting Mix", 0);
    dlg.SetText("Please wait...", 1);

    LCutListAudio clip = *data.pClip;
    if (clip.GetSampleRate() != doc.GetSampleRate() || clip.GetChannels() != doc.GetChannels()) {
        LCLAConvertRateChannels conv { &clip, doc.GetSampleRate(), doc.GetChannels() };
        if (ProcessBody(dlg, conv) != 0)
            return 2;
        dlg.SetText("Pasting Mix", 0);
        dlg.SetText("Please wait...", 1);
    }
    const int32_t iClipLength = clip.GetTotalLength();
    if (iClipLength <= 0)
        return 0;

    // Without a selection there is nothing to fade within: the clip extends it.
    int iMode = data.iEnd == data.iStart ? MIXMODE_EXTENDSELECTION : data.iMode;
    int32_t iEnd = data.iEnd; // end of the range replaced
    int32_t iMixEnd = data.iEnd; // end of the range mixed
    int32_t iSilence = 0; // silence appended to the range read
    int64_t iExcess = int64_t(iClipLength) - (int64_t(data.iEnd) - data.iStart);
    if (iExcess < 1) {
        iEnd = iMixEnd = data.iStart + iClipLength;
    } else if (iMode == MIXMODE_INSERTSILENCE) {
        // Equal to inserting the silence into the document first, but the
        // document stays untouched until the mix has completed.
        iSilence = int32_t(iExcess);
        iMixEnd = int32_t(data.iEnd + iExcess);
    } else if (iMode == MIXMODE_EXTENDSELECTION) {
        iEnd = iMixEnd = int32_t(data.iEnd + iExcess);
    }
    const int32_t iTotal = std::max(iMixEnd - data.iStart, 1);
    const int32_t iFadeStart
        = iMode == MIXMODE_FADEMIXOUT ? std::max(iTotal - data.iFadeFrames, 0) : iTotal;

    LCutListAudio range;
    doc.EfCopy(data.iStart, iEnd, range);
    range.EfInsertSilence(range.GetTotalLength(), iSilence);

    Gains g;
    MixPanGains(data.iVolume, data.iPan, &g.aGain[0], &g.aGain[1]);
    if (doc.GetChannels() == 1)
        g.aGain[0] = g.aGain[1] = int32_t((int64_t(g.aGain[0]) + g.aGain[1]) / 2);
    return EfRenderRange(dlg, doc, data.iStart, iEnd, [&](LSoundSinkBase& sink) {
        return RenderMix(dlg, range, clip, iTotal, iFadeStart, g, sink);
    });
}
