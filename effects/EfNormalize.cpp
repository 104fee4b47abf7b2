#include "effects/EfNormalize.h"

#include "audio/LSoundSourceBase.h"
#include "edit/LSRCCutListAudio.h"

#include <algorithm>
#include <vector>

namespace {
// Largest magnitude in the block (the negated minimum counts).
uint32_t BlockPeak(const int32_t* p, size_t nSamples)
{
    int32_t iMax = 0, iMin = 0;
    for (size_t i = 0; i < nSamples; ++i) {
        iMax = std::max(iMax, p[i]);
        iMin = std::min(iMin, p[i]);
    }
    return uint32_t(std::max<int64_t>(iMax, -int64_t(iMin)));
}
} // namespace

int NormalizeGainPercent(int iLevel, uint32_t uPeak)
{
    if (uPeak == 0)
        return 100;
    return int(std::min<int64_t>(400, int64_t(iLevel) * kInternalFullScale / int64_t(uPeak)));
}

int ProcessBody(LProgressDialog& dlg, EfNormalize& data)
{
    if (!data.pDoc)
        return 2;
    if (data.iEnd <= data.iStart)
        return 0;
    dlg.SetText("Normalizing", 0);
    dlg.SetText("Please wait...", 1);
    LSRCCutListAudio src(*data.pDoc);
    if (data.iStart > 0)
        src.Seek(data.iStart);
    const int64_t iTotal = int64_t(data.iEnd) - data.iStart;
    const size_t uCh = size_t(src.GetChannels());
    std::vector<int32_t> block(uCh * kBlockFrames);
    uint32_t uPeak = 0;
    for (int64_t iDone = 0; iDone < iTotal;) {
        if (dlg.CheckCancel())
            return 1;
        int32_t n = int32_t(std::min<int64_t>(kBlockFrames, iTotal - iDone));
        src.Read(block.data(), n);
        uPeak = std::max(uPeak, BlockPeak(block.data(), size_t(n) * uCh));
        iDone += n;
        dlg.SetProgress(double(iDone) / double(iTotal));
    }
    if (uPeak > 0)
        data.pDoc->EfAmplify(data.iStart, data.iEnd, NormalizeGainPercent(data.iLevel, uPeak));
    return 0;
}
