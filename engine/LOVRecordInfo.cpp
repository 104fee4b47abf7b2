#include "engine/LOVRecordInfo.h"

#include "audio/LSoundTime.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"

#include <algorithm>

LOVRecordInfo::LOVRecordInfo(int32_t iRate, int iChannels)
    : claKept(iRate, iChannels)
    , claRecording(iRate, iChannels)
{
}

void LOVRecordInfo::Merge()
{
    if (claKept.GetCuts().empty())
        return;
    claRecording.EfInsert(0, claKept);
    claKept.Clear();
}

SourceHandle LOVRecordInfo::OpenSource()
{
    return MakeHandle<LSRCCutListAudio>(GetSoFar());
}

SinkHandle LOVRecordInfo::OpenSink(int32_t iFromMs)
{
    Merge();
    int32_t iFrom = std::clamp(
        LSoundTime::MsToFrames(std::max(0, iFromMs), GetRate()), 0, claRecording.GetTotalLength());
    claRecording.EfCopy(0, iFrom, claKept);
    LHandle<LSNKCutListAudio> h
        = MakeHandle<LSNKCutListAudio>(claRecording, GetRate(), GetChannels());
    h->KeepGraphCurrent();
    wTake = h->GetCut();
    iTakeFrames = 0;
    iToldFrames = 0;
    return h;
}

void LOVRecordInfo::TakeProgress(int32_t iFrames)
{
    // Not every buffer: each progress heard costs a journal write.
    const bool bTell
        = iFrames < 0 || (iFrames > 0 && iTakeFrames <= 0) || iFrames - iToldFrames >= GetRate();
    iTakeFrames = iFrames;
    if (!bTell)
        return;
    iToldFrames = iFrames;
    if (fnProgress)
        fnProgress();
}

LCutListAudio LOVRecordInfo::GetSoFar()
{
    if (iTakeFrames < 0)
        return GetRecording();
    LCutListAudio soFar = claKept;
    if (iTakeFrames > 0 && wTake != LAudioCutTank::kSilentCut) {
        LCutListAudio take(GetRate(), GetChannels());
        take.SetSingleCut(LAudioCut(wTake, iTakeFrames, LAudioCut::kUnityGain, 0));
        soFar.EfInsert(soFar.GetTotalLength(), take);
    }
    return soFar;
}

const LCutListAudio& LOVRecordInfo::GetRecording()
{
    Merge();
    return claRecording;
}
