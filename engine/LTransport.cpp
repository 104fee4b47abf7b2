#include "engine/LTransport.h"

#include "audio/LSoundTime.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LSRCWaveScan.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"

#include <algorithm>

LTransport::LTransport()
{
    player.SetNotify(this, 0);
}

LTransport::~LTransport()
{
    player.SetNotify(nullptr, 0);
}

void LTransport::Stop()
{
    player.Stop();
    bPlaySelection = false;
}

void LTransport::Play(LOVFile& doc, int32_t iFrom)
{
    doc.sPosition = iFrom;
    PlayCommand(doc, true);
}

bool LTransport::StartSource(LOVFile& doc, SourceHandle h, bool bReportFailure)
{
    pDoc = &doc;
    hSource = h;
    player.SetDevice(iDeviceOverride >= 0
            ? iDeviceOverride
            : LSettings::Get().GetInt("Settings", "SoundOutDevice", 0));
    if (player.Start(std::move(h), 0))
        return true;
    hSource.Reset();
    if (bReportFailure && onDeviceError)
        onDeviceError(kDeviceMessage);
    return false;
}

bool LTransport::PlayCommand(LOVFile& doc, bool bKeepPosition)
{
    if (IsCued()) {
        player.Play();
        return true;
    }
    Stop();
    const int32_t iRate = doc.claAudio.GetSampleRate();
    if (!bKeepPosition && doc.sPosition > doc.GetLength() - iRate)
        doc.sPosition = 0;
    SourceHandle h;
    if (doc.HasValidSelection()) {
        doc.sPosition = doc.sSelStart;
        bPlaySelection = true;
        LCutListAudio upTo = doc.claAudio;
        upTo.EfDeleteAfter(doc.sSelEnd);
        h = MakeHandle<LSRCCutListAudio>(upTo);
    } else {
        h = MakeHandle<LSRCCutListAudio>(doc.claAudio);
    }
    if (doc.sPosition != 0)
        h->Seek(doc.sPosition);
    int iSpeed = iSpeedOverride >= 0 ? iSpeedOverride
                                     : LSettings::Get().GetInt("Settings", "PlaySpeed", kNormal);
    if (iSpeed != kNormal)
        h = MakeHandle<LSRCWaveScan>(h, (iSpeed + 1) * 0.5);
    bool bPlaying = bPlaySelection;
    bool bStarted = StartSource(doc, std::move(h), true);
    bPlaySelection = bStarted && bPlaying;
    return bStarted;
}

void LTransport::SetSpeed(Speed e)
{
    LSettings::Get().SetInt("Settings", "PlaySpeed", int(e));
    if (IsOpen() && pDoc)
        PlayCommand(*pDoc, true);
}

void LTransport::Scrub(LOVFile& doc)
{
    if (!IsOpen() && !PlayCommand(doc, false))
        return;
    player.Cue();
}

void LTransport::GoToStart(LOVFile& doc)
{
    if (IsOpen())
        player.Seek(0);
    else
        doc.sPosition = 0;
}

void LTransport::GoToEnd(LOVFile& doc)
{
    if (!IsOpen()) {
        doc.sPosition = doc.GetLength();
        return;
    }
    int32_t iEnd = hSource ? hSource->GetLength() : doc.GetLength();
    if (!IsCued())
        iEnd = std::max(0, iEnd - doc.claAudio.GetSampleRate());
    player.Seek(iEnd);
}

void LTransport::StartScan(LOVFile& doc, bool bForward)
{
    const int iDirection = bForward ? 1 : -1;
    if (iScan == iDirection)
        return;
    if (iScan != 0)
        EndScan(doc);
    eResume = !IsOpen() ? Resume::Nothing : IsCued() ? Resume::Scrub : Resume::Play;
    Stop();
    const int32_t iRate = doc.claAudio.GetSampleRate();
    const bool bScrub = eResume == Resume::Scrub;
    if (!bForward)
        doc.sPosition = std::max(0, doc.sPosition - (bScrub ? iRate / 10 : iRate / 5));
    SourceHandle h = MakeHandle<LSRCCutListAudio>(doc.claAudio);
    h->Seek(doc.sPosition);
    double dStart = bForward ? (bScrub ? 0.1 : 1.5) : (bScrub ? -0.1 : -0.5);
    double dEnd = bForward ? (bScrub ? 3.0 : 7.0) : (bScrub ? -3.0 : -7.0);
    h = MakeHandle<LSRCWaveScan>(h, dStart, dEnd, 8000);
    iScan = iDirection;
    StartSource(doc, std::move(h), !bForward);
}

void LTransport::EndScan(LOVFile& doc)
{
    if (iScan == 0)
        return;
    Stop();
    iScan = 0;
    if (eResume == Resume::Scrub)
        Scrub(doc);
    else if (eResume == Resume::Play)
        PlayCommand(doc, true);
    eResume = Resume::Nothing;
}

void LTransport::spntfPlay(uintptr_t)
{
    if (onState)
        onState(true);
}

void LTransport::spntfStop(uintptr_t)
{
    bPlaySelection = false;
    if (onState)
        onState(false);
}

void LTransport::spntfPosition(int32_t, uintptr_t)
{
    if (!pDoc || !IsOpen())
        return;
    pDoc->sPosition = player.GetPosition();
    if (!bPlaySelection)
        pDoc->sSelStart = pDoc->sSelEnd = pDoc->sPosition;
    if (onPosition)
        onPosition(*pDoc);
}

void LTransport::spntfLevels(const LSoundLevels& levels, uintptr_t)
{
    if (onLevels && IsOpen())
        onLevels(levels);
}
