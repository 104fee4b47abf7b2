#include "app/LWaveColumns.h"

#include "audio/LSRCNull.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"

#include <algorithm>

namespace {
constexpr int kRecordFrames = LSNKCutListAudio::kGraphBlock;
// Graph reads are bounded to 1 KB of records.
constexpr int kGraphReadBytes = 1024;

uint8_t Cap(uint32_t u)
{
    return uint8_t(std::min<uint32_t>(u, 255));
}
// Magnitude of a negative peak (0 for the smallest int32 too).
uint32_t Negate(int32_t i)
{
    return 0u - uint32_t(i);
}
} // namespace

LWaveColumns::LWaveColumns()
{
    Clear();
}

void LWaveColumns::Clear()
{
    list = LCutListAudio();
    bHaveList = false;
    cutStarts.clear();
    graph.Close();
    uGraphCut = SIZE_MAX;
    SetSource(MakeHandle<LSRCNull>(), kPlusMinus);
}

void LWaveColumns::SetCutList(const LCutListAudio& l, int iNewMode, bool bVerticalZoom)
{
    SetSource(MakeHandle<LSRCCutListAudio>(l), iNewMode);
    iShift = bVerticalZoom ? 8 : 11;
    list = l;
    bHaveList = true;
    cutStarts.clear();
    int64_t iPos = 0;
    for (const LAudioCut& c : list.GetCuts()) {
        cutStarts.push_back(iPos);
        iPos += c.iLength;
    }
    graph.Close();
    uGraphCut = SIZE_MAX;
}

void LWaveColumns::SetSource(const SourceHandle& s, int iNewMode)
{
    src = s;
    iMode = iNewMode;
    iShift = iMode == kMagnitude ? 10 : 11;
    bHaveList = false;
    buffer.assign(size_t(kBlockFrames) * size_t(src->GetChannels()), 0);
}

bool LWaveColumns::Fill(const LWaveView& view, int32_t x0, int32_t x1, uint8_t* pTop,
    uint8_t* pBottom, const LSignalObject* pStop)
{
    if (bHaveList && view.IsLong())
        return FillFromGraph(view, x0, x1, pTop, pBottom, pStop);
    return FillFromAudio(view, x0, x1, pTop, pBottom, pStop);
}

void LWaveColumns::Accumulate(const int32_t* p, int32_t iFrames, Peaks& peaks) const
{
    const int iCh = GetChannels();
    if (PerChannel()) {
        for (int c = 0; c < 2; ++c) {
            int32_t iMax = peaks.iMax[c], iMin = peaks.iMin[c];
            for (int32_t f = 0; f < iFrames; ++f) {
                int32_t s = p[2 * size_t(f) + size_t(c)];
                iMax = std::max(iMax, s);
                iMin = std::min(iMin, s);
            }
            peaks.iMax[c] = iMax;
            peaks.iMin[c] = iMin;
        }
        return;
    }
    int32_t iMax = peaks.iMax[0], iMin = peaks.iMin[0];
    const size_t n = size_t(iFrames) * size_t(iCh);
    for (size_t i = 0; i < n; ++i) {
        iMax = std::max(iMax, p[i]);
        iMin = std::min(iMin, p[i]);
    }
    peaks.iMax[0] = iMax;
    peaks.iMin[0] = iMin;
}

void LWaveColumns::Finish(const Peaks& peaks, uint8_t& bTop, uint8_t& bBottom) const
{
    if (PerChannel()) {
        bTop = Cap(std::max(uint32_t(peaks.iMax[0]), Negate(peaks.iMin[0])) >> iShift);
        bBottom = Cap(std::max(uint32_t(peaks.iMax[1]), Negate(peaks.iMin[1])) >> iShift);
    } else if (iMode == kMagnitude) {
        bTop = bBottom = Cap(std::max(uint32_t(peaks.iMax[0]), Negate(peaks.iMin[0])) >> iShift);
    } else {
        bTop = Cap(uint32_t(peaks.iMax[0]) >> iShift);
        bBottom = Cap(Negate(peaks.iMin[0]) >> iShift);
    }
}

bool LWaveColumns::FillFromAudio(const LWaveView& view, int32_t x0, int32_t x1, uint8_t* pTop,
    uint8_t* pBottom, const LSignalObject* pStop)
{
    if (x0 >= x1)
        return true;
    int64_t iPos = view.PixelToFrame(x0);
    src->Seek(int32_t(iPos));
    for (int32_t x = x0; x < x1; ++x) {
        Peaks peaks = { { 0, 0 }, { 0, 0 } };
        const int64_t iEnd = view.PixelToFrame(x + 1);
        while (iPos < iEnd) {
            int32_t n = int32_t(std::min<int64_t>(kBlockFrames, iEnd - iPos));
            src->Read(buffer.data(), n);
            Accumulate(buffer.data(), n, peaks);
            iPos += n;
        }
        Finish(peaks, pTop[x], pBottom[x]);
        if (pStop && pStop->IsSet())
            return false;
    }
    return true;
}

void LWaveColumns::AddRecords(int64_t iFrom, int64_t iTo, int32_t iGain, GraphPeaks& peaks)
{
    const int iCh = GetChannels();
    const int iRecordBytes = 2 * iCh;
    const int iGraphShift = iShift == 8 ? 13 : 16;
    const uint32_t uFactor = (iGain < 0 ? Negate(iGain) : uint32_t(iGain)) >> iGraphShift;
    if (uFactor == 0 || iTo <= iFrom)
        return;
    // An inverted cut swaps the positive and the negative peaks.
    const bool bSwap = iGain < 0 && !PerChannel();
    uint8_t bytes[kGraphReadBytes];
    const int64_t iMaxRecords = kGraphReadBytes / iRecordBytes;
    int64_t iRecord = iFrom / kRecordFrames;
    const int64_t iLast = (iTo - 1) / kRecordFrames;
    while (iRecord <= iLast) {
        int64_t nRecords = std::min(iMaxRecords, iLast - iRecord + 1);
        int64_t iGot
            = graph.ReadAt(bytes, nRecords * iRecordBytes, iRecord * iRecordBytes) / iRecordBytes;
        uint32_t uTop = 0, uBottom = 0;
        for (int64_t r = 0; r < iGot; ++r) {
            const uint8_t* p = bytes + r * iRecordBytes;
            if (PerChannel()) {
                uTop = std::max<uint32_t>(uTop, std::max(p[0], p[1]));
                uBottom = std::max<uint32_t>(uBottom, std::max(p[2], p[3]));
            } else {
                for (int c = 0; c < iCh; ++c) {
                    uTop = std::max<uint32_t>(uTop, p[2 * c]);
                    uBottom = std::max<uint32_t>(uBottom, p[2 * c + 1]);
                }
            }
        }
        if (bSwap)
            std::swap(uTop, uBottom);
        peaks.uTop = std::max(peaks.uTop, uTop * uFactor);
        peaks.uBottom = std::max(peaks.uBottom, uBottom * uFactor);
        if (iGot < nRecords)
            return; // the file ends early
        iRecord += nRecords;
    }
}

bool LWaveColumns::FillFromGraph(const LWaveView& view, int32_t x0, int32_t x1, uint8_t* pTop,
    uint8_t* pBottom, const LSignalObject* pStop)
{
    const auto& cuts = list.GetCuts();
    int64_t iFrom = view.PixelToFrame(x0);
    // The cut that holds the first column's frame.
    size_t uCut
        = size_t(std::upper_bound(cutStarts.begin(), cutStarts.end(), iFrom) - cutStarts.begin());
    uCut = uCut > 0 ? uCut - 1 : 0;
    for (int32_t x = x0; x < x1; ++x) {
        const int64_t iTo = view.PixelToFrame(x + 1);
        GraphPeaks peaks;
        // Bytes times the factor of their own cut, so that a column spanning
        // a loud cut and a quiet one keeps the loud cut's peak.
        for (size_t u = uCut; u < cuts.size() && cutStarts[u] < iTo; ++u) {
            const LAudioCut& c = cuts[u];
            const int64_t iCutEnd = cutStarts[u] + c.iLength;
            const int64_t iA = std::max(iFrom, cutStarts[u]), iB = std::min(iTo, iCutEnd);
            if (iB <= iA)
                continue;
            if (iB == iCutEnd)
                uCut = u + 1; // later columns start beyond this cut
            if (c.IsSilent())
                continue;
            if (uGraphCut != u) {
                uGraphCut = u;
                graph.Close();
                // A graph file that cannot be opened adds nothing.
                graph.Open(LAudioCutTank::Get().GetGrfFilePath(c.wCut), LFile::Mode::Read);
            }
            if (graph.IsOpen())
                AddRecords(c.iOffset + (iA - cutStarts[u]), c.iOffset + (iB - cutStarts[u]),
                    c.iGain, peaks);
        }
        pTop[x] = Cap(peaks.uTop >> 8);
        pBottom[x] = Cap(peaks.uBottom >> 8);
        iFrom = iTo;
        if (pStop && pStop->IsSet())
            return false;
    }
    return true;
}
