#include "effects/EfAutoTrim.h"

#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "effects/LDBTablesClass.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {
constexpr int32_t kBlock = LSNKCutListAudio::kGraphBlock;

// The peak bytes of every 256-frame block of the document, per channel:
// each cut's graph records placed at the cut's position and weighted by its
// gain (silent cuts stay zero).
std::vector<uint8_t> BuildOverview(const LCutListAudio& doc, size_t uCh, int64_t iBlocks)
{
    const size_t uRecord = uCh * 2;
    std::vector<uint8_t> overview(size_t(iBlocks) * uRecord, 0);
    int64_t p = 0;
    for (const LAudioCut& cut : doc.GetCuts()) {
        int64_t iFirst = p / kBlock;
        int64_t iLast = std::min<int64_t>((p + cut.iLength + kBlock - 1) / kBlock, iBlocks);
        p += cut.iLength;
        if (cut.IsSilent() || iLast <= iFirst)
            continue;
        LFile grf;
        if (!grf.Open(LAudioCutTank::Get().GetGrfFilePath(cut.wCut), LFile::Mode::Read)
            || !grf.Seek(int64_t(cut.iOffset / kBlock) * int64_t(uRecord)))
            continue;
        uint8_t* pAt = overview.data() + size_t(iFirst) * uRecord;
        int64_t iGot = std::max<int64_t>(0, grf.Read(pAt, (iLast - iFirst) * int64_t(uRecord)));
        // The records hold magnitudes, so an inverting gain weighs like its
        // size; a raised level is held at the byte's top.
        int64_t iWeight = std::abs(int64_t(cut.iGain)) >> 16;
        for (int64_t i = 0; i < iGot; ++i)
            pAt[i] = uint8_t(std::min<int64_t>(255, (pAt[i] * iWeight) >> 8));
    }
    return overview;
}

bool Above(const std::vector<uint8_t>& overview, int64_t iEntry, int iLevel)
{
    return overview[size_t(2 * iEntry)] > iLevel || overview[size_t(2 * iEntry + 1)] > iLevel;
}
} // namespace

int EfAutoTrim::LoadThreshold()
{
    return LSettings::Get().GetInt("Settings", "AutoTrimThreshold", -20);
}

void AutoTrimRange(const LCutListAudio& doc, int iThresholdDb, int32_t* pStart, int32_t* pEnd)
{
    const int32_t iLength = doc.GetTotalLength();
    const int64_t c = std::max(doc.GetChannels(), 1);
    const int64_t iBlocks = iLength / kBlock + 1;
    std::vector<uint8_t> overview = BuildOverview(doc, size_t(c), iBlocks);
    int iPeak = 0;
    for (uint8_t b : overview)
        iPeak = std::max<int>(iPeak, b);
    int iDb = std::clamp(iThresholdDb, -127, 127);
    int iLevel = int((int64_t(iPeak) * LDBTablesClass::Amplitude(iDb)) >> 24);

    *pStart = 0;
    for (int64_t e = c; e < iBlocks * c; ++e)
        if (Above(overview, e, iLevel)) {
            *pStart = int32_t((e / c - 1) * kBlock);
            break;
        }
    *pEnd = iLength;
    for (int64_t e = iBlocks * c - 2 * c; e >= 1; --e)
        if (Above(overview, e, iLevel)) {
            *pEnd = int32_t((e / c + 1) * kBlock);
            break;
        }
}

int ProcessBody(LProgressDialog& dlg, EfAutoTrim& data)
{
    if (!data.pDoc)
        return 2;
    dlg.SetText("AutoTrim", 0);
    dlg.SetText("Please wait...", 1);
    int32_t iStart, iEnd;
    AutoTrimRange(*data.pDoc, data.iThresholdDb, &iStart, &iEnd);
    data.pDoc->EfDeleteAfter(iEnd);
    data.pDoc->EfDeleteBefore(iStart);
    return 0;
}
