#include "edit/LSNKCutListAudio.h"

#include "edit/LAudioCutTank.h"

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

void LSNKCutListAudio::FeedGraph(const int32_t* p, int32_t iFrames)
{
    const int iCh = GetChannels();
    while (iFrames > 0) {
        int n = std::min(iFrames, kGraphBlock - iBlockFill);
        for (int c = 0; c < iCh; ++c) {
            int32_t iMax = peakMax[size_t(c)], iMin = peakMin[size_t(c)];
            for (int f = 0; f < n; ++f) {
                int32_t s = p[size_t(f) * size_t(iCh) + size_t(c)];
                iMax = std::max(iMax, s);
                iMin = std::min(iMin, s);
            }
            peakMax[size_t(c)] = iMax;
            peakMin[size_t(c)] = iMin;
        }
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
