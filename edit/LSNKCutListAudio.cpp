#include "edit/LSNKCutListAudio.h"

#include "edit/LAudioCutTank.h"
#include "platform/LVectorClones.h"

#include <algorithm>

LSNKCutListAudio::LSNKCutListAudio(LCutListAudio& list, int32_t iRate, int iChannels)
    : LSoundSinkBase(iRate, iChannels)
    , target(list)
    , wCut(LAudioCutTank::Get().GetNewRefAndIncRef())
    , peakMax(size_t(GetChannels()), 0)
    , peakMin(size_t(GetChannels()), 0)
{
    if (wCut == LAudioCutTank::kSilentCut)
        return;
    aud.Open(LAudioCutTank::Get().GetAudFilePath(wCut), LFile::Mode::CreateReadWrite);
    grf.Open(LAudioCutTank::Get().GetGrfFilePath(wCut), LFile::Mode::CreateReadWrite);
    CheckFiles();
}

void LSNKCutListAudio::CheckFiles()
{
    CheckFile(aud, "LSNKCutListAudio (cut file)");
    CheckFile(grf, "LSNKCutListAudio (graph file)");
}

bool LSNKCutListAudio::Close()
{
    if (iBlockFill > 0 && !IsError() && wCut != LAudioCutTank::kSilentCut)
        WriteRecord();
    iBlockFill = 0;
    if (!IsError())
        FlushGraph();
    aud.Close();
    grf.Close();
    CheckFiles();
    return !IsError();
}

LSNKCutListAudio::~LSNKCutListAudio()
{
    Close();
    LAudioCut cut(wCut, GetFramesWritten(), LAudioCut::kUnityGain, 0);
    target.SetFormat(GetSampleRate(), GetChannels());
    target.SetSingleCut(std::move(cut));
    LAudioCutTank::Get().DecRef(wCut);
}

void LSNKCutListAudio::Write(const int32_t* pBuffer, int32_t iFrames)
{
    LSoundSinkBase::Write(pBuffer, iFrames);
    if (iFrames <= 0 || IsError() || wCut == LAudioCutTank::kSilentCut)
        return;
    aud.Write(pBuffer, int64_t(iFrames) * GetChannels() * 4);
    FeedGraph(pBuffer, iFrames);
    if (bGraphCurrent)
        FlushGraph();
    CheckFiles();
}

namespace {
template <size_t kStride> void ColumnPeaksOf(const int32_t* p, int n, int32_t& iMax, int32_t& iMin)
{
    int32_t a = iMax, b = iMin;
    for (int f = 0; f < n; ++f) {
        a = std::max(a, p[size_t(f) * kStride]);
        b = std::min(b, p[size_t(f) * kStride]);
    }
    iMax = a;
    iMin = b;
}

// The largest and smallest of n samples uStride apart, into iMax and iMin.
// Mono and stereo get loops of a fixed stride, which vectorize.
ORV_VECTOR_CLONES void ColumnPeaks(
    const int32_t* p, size_t uStride, int n, int32_t& iMax, int32_t& iMin)
{
    if (uStride == 1)
        return ColumnPeaksOf<1>(p, n, iMax, iMin);
    if (uStride == 2)
        return ColumnPeaksOf<2>(p, n, iMax, iMin);
    for (int f = 0; f < n; ++f) {
        iMax = std::max(iMax, p[size_t(f) * uStride]);
        iMin = std::min(iMin, p[size_t(f) * uStride]);
    }
}
} // namespace

void LSNKCutListAudio::FeedGraph(const int32_t* p, int32_t iFrames)
{
    const int iCh = GetChannels();
    while (iFrames > 0) {
        int n = std::min(iFrames, kGraphBlock - iBlockFill);
        for (int c = 0; c < iCh; ++c)
            ColumnPeaks(p + c, size_t(iCh), n, peakMax[size_t(c)], peakMin[size_t(c)]);
        p += size_t(n) * size_t(iCh);
        iFrames -= n;
        iBlockFill += n;
        if (iBlockFill == kGraphBlock)
            WriteRecord();
    }
}

void LSNKCutListAudio::WriteRecord()
{
    uint8_t record[2 * 255];
    const int iCh = GetChannels();
    for (int c = 0; c < iCh; ++c) {
        int64_t iPos = int64_t(peakMax[size_t(c)]) >> 11;
        int64_t iNeg = (-int64_t(peakMin[size_t(c)])) >> 11;
        record[2 * c] = uint8_t(std::min<int64_t>(255, iPos));
        record[2 * c + 1] = uint8_t(std::min<int64_t>(255, iNeg));
        peakMax[size_t(c)] = peakMin[size_t(c)] = 0;
    }
    graphPending.insert(graphPending.end(), record, record + 2 * iCh);
    if (graphPending.size() >= 4096)
        FlushGraph();
    iBlockFill = 0;
}

void LSNKCutListAudio::FlushGraph()
{
    if (!graphPending.empty())
        grf.Write(graphPending.data(), int64_t(graphPending.size()));
    graphPending.clear();
}

void LSNKCutListAudio::Seek(int32_t iFrame)
{
    FlushGraph();
    iFrame = std::max(iFrame, 0);
    const int iCh = GetChannels();
    // The files end where the cut does, so that what a killed program leaves
    // in the working folder is the take and nothing written over.
    aud.Seek(int64_t(iFrame) * iCh * 4);
    aud.Truncate();
    grf.Seek(int64_t(iFrame / kGraphBlock) * iCh * 2);
    grf.Truncate();
    std::fill(peakMax.begin(), peakMax.end(), 0);
    std::fill(peakMin.begin(), peakMin.end(), 0);
    iBlockFill = iFrame % kGraphBlock;
    SetFramesWritten(iFrame);
}
