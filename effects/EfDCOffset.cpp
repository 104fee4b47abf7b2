#include "effects/EfDCOffset.h"

#include "edit/LSRCCutListAudio.h"
#include "effects/LEfRenderRange.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {
constexpr size_t kMaxChannels = 256;

void AddToSums(const int32_t* p, int32_t nFrames, size_t uCh, double* pSum)
{
    for (int32_t f = 0; f < nFrames; ++f, p += uCh)
        for (size_t c = 0; c < uCh; ++c)
            pSum[c] += p[c];
}

void SubtractOffsets(int32_t* p, int32_t nFrames, size_t uCh, const int32_t* pOffset)
{
    for (int32_t f = 0; f < nFrames; ++f, p += uCh)
        for (size_t c = 0; c < uCh; ++c)
            p[c] = int32_t(uint32_t(p[c]) - uint32_t(pOffset[c]));
}
} // namespace

int DCOffsetBody(LProgressDialog& dlg, LSoundSourceBase* pSrc, LSoundSinkBase* pSink)
{
    if (!pSrc || !pSink || pSrc->IsError() || pSink->IsError()
        || pSrc->GetChannels() != pSink->GetChannels()
        || pSrc->GetSampleRate() != pSink->GetSampleRate())
        return 2;
    dlg.SetText("DC Offset Correction", 0);
    const size_t uCh = size_t(pSrc->GetChannels());
    const int32_t iLength = pSrc->GetLength();
    const double dLength = double(std::max(iLength, 1));
    std::vector<int32_t> block(uCh * kBlockFrames);

    std::array<double, kMaxChannels> sums {};
    pSrc->Seek(0);
    for (int32_t iPos = 0; iPos < iLength;) {
        if (dlg.CheckCancel())
            return 1;
        int32_t n = std::min(kBlockFrames, iLength - iPos);
        pSrc->Read(block.data(), n);
        AddToSums(block.data(), n, uCh, sums.data());
        iPos += n;
        dlg.SetProgress(double(iPos) / dLength);
    }
    std::array<int32_t, kMaxChannels> offsets {};
    for (size_t c = 0; c < uCh; ++c)
        offsets[c] = int32_t(sums[c] / dLength); // toward zero

    pSrc->Seek(0);
    dlg.SetProgress(0);
    for (int32_t iPos = 0; iPos < iLength;) {
        if (dlg.CheckCancel())
            return 1;
        int32_t n = std::min(kBlockFrames, iLength - iPos);
        pSrc->Read(block.data(), n);
        SubtractOffsets(block.data(), n, uCh, offsets.data());
        pSink->Write(block.data(), n);
        iPos += n;
        dlg.SetProgress(double(iPos) / dLength);
    }
    return 0;
}

int ProcessBody(LProgressDialog& dlg, EfDCOffset& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd <= data.iStart)
        return 0;
    LCutListAudio range;
    data.pDoc->EfCopy(data.iStart, data.iEnd, range);
    return EfRenderRange(dlg, *data.pDoc, data.iStart, data.iEnd, [&](LSoundSinkBase& sink) {
        LSRCCutListAudio src(range);
        return DCOffsetBody(dlg, &src, &sink);
    });
}
