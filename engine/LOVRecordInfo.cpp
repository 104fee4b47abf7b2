#include "engine/LOVRecordInfo.h"

#include "audio/LSoundTime.h"
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
    Merge();
    return MakeHandle<LSRCCutListAudio>(claRecording);
}

SinkHandle LOVRecordInfo::OpenSink(int32_t iFromMs)
{
    Merge();
    int32_t iFrom = std::clamp(
        LSoundTime::MsToFrames(std::max(0, iFromMs), GetRate()), 0, claRecording.GetTotalLength());
    claRecording.EfCopy(0, iFrom, claKept);
    return MakeHandle<LSNKCutListAudio>(claRecording, GetRate(), GetChannels());
}

const LCutListAudio& LOVRecordInfo::GetRecording()
{
    Merge();
    return claRecording;
}
