#include "engine/LOVSaveToSink.h"
#include "audio/LAifFile.h"
#include "audio/LAuFile.h"
#include "audio/LGSMFileSink.h"
#include "audio/LWaveFile.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LPRSourceToSink.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LMp3EncodeWav.h"
#include "engine/LWavCodecFile.h"
#include "platform/LFile.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {
const char* const kSaving = "Saving file...";

std::string PartPath(const std::string& strPath) { return strPath + ".part-" + std::to_string(getpid()); }

int CannotCreate(LProgressDialog& dlg, LOVSaveToSink& d)
{
    d.strError = "Unable to create file \"" + d.strPath + "\"for saving.";
    dlg.ShowError(d.strError);
    return 2;
}

// Pumps the list into the sink and releases the sink, completing its file.
int Pump(LProgressDialog& dlg, SourceHandle hSource, SinkHandle hSink)
{
    LPRSourceToSink pump{kSaving, std::move(hSource), std::move(hSink)};
    return ProcessBody(dlg, pump);
}

// Puts the finished part file in the target's place, or removes it.
int Finish(LProgressDialog& dlg, LOVSaveToSink& d, const std::string& strPart, int iResult)
{
    if (iResult != 0) {
        LFile::Delete(strPart);
        return iResult;
    }
    if (std::rename(strPart.c_str(), d.strPath.c_str()) != 0) {
        LFile::Delete(strPart);
        return CannotCreate(dlg, d);
    }
    return 0;
}

// The WAV writer: 16-bit PCM in mode 0, else the stored compressed format,
// offered to the chooser first in mode 1. Empty when the chooser was cancelled.
// The rate and channels a save writes.
struct Target {
    int32_t iRate;
    int iChannels;
};

SinkHandle WavSink(LOVSaveToSink& d, Target t, const std::string& strPart, bool& bCancelled)
{
    if (d.uPromptMode == LOVSaveToSink::kPcmWithoutAsking)
        return LWaveFile::OpenSinkPCM(strPart, t.iRate, t.iChannels, 16, 0);
    LWaveFormat format = LWavCodecFile::Load();
    if (d.uPromptMode == LOVSaveToSink::kAsk) {
        if (!d.pPrompts || !d.pPrompts->ChooseWaveFormat(format, t.iChannels, "Select Wave File Format")) {
            bCancelled = true;
            return {};
        }
        LWavCodecFile::Store(format);
    }
    return LWaveFile::OpenSink(strPart, LWaveHeader::FromFormat(format));
}

// VOX and raw files are mono (taken on the way: the document keeps its
// channels); the raw writer may spread them over two channels again.
SinkHandle HeaderlessSink(LOVSaveToSink& d, SourceHandle& hSource, Target t, const std::string& strPart,
                          bool& bCancelled)
{
    const int32_t iRate = hSource->GetSampleRate();
    hSource = ConvertRateChannels(std::move(hSource), iRate, 1);
    LHeaderlessSettings s = LHeaderlessFormat::Load();
    if (d.uPromptMode == LOVSaveToSink::kAsk) {
        if (!d.pPrompts || !d.pPrompts->AskFileProperties(s)) {
            bCancelled = true;
            return {};
        }
        LHeaderlessFormat::Store(s);
    }
    return LHeaderlessFormat::OpenSink(strPart, s, t.iRate);
}

// A file type whose size fields cannot hold the whole source (AU, AIFF) is
// refused before anything is written. Whether a WAV passes 4 GiB (RF64) does
// not matter.
bool TooLongFor(LOVSaveToSink& d, LSoundSourceBase& src, const LSoundSinkBase& sink,
                LProgressDialog& dlg)
{
    const int64_t iRate = sink.GetSampleRate();
    const int64_t iFrom = src.GetSampleRate();
    const int64_t iFrames = (int64_t(src.GetLength()) * iRate + iFrom - 1) / iFrom;
    if (iFrames <= sink.GetMaxFrames())
        return false;
    const int64_t iTenths = sink.GetMaxFrames() * 10 / (iRate * 3600);
    char sz[128];
    std::snprintf(sz, sizeof sz, "%lld.%lld hours of %lld Hz audio with %d channels",
                  (long long)(iTenths / 10), (long long)(iTenths % 10), (long long)iRate,
                  sink.GetChannels());
    d.strError = "Unable to save \"" + d.strPath + "\": this file type holds at most " + sz +
                 ", and the audio is longer. Save it as WAV instead.";
    dlg.ShowError(d.strError);
    return true;
}

void ShowStop(LProgressDialog& dlg, LOVSaveToSink& d, const std::string& strText)
{
    if (d.pPrompts)
        d.pPrompts->ShowMessage(strText, "Error", LFilePrompts::Icon::Stop);
    else
        dlg.ShowError(strText);
}

// MP3: a PCM WAV in the temporary folder, then the outside encoder.
int SaveMp3(LProgressDialog& dlg, LOVSaveToSink& d, SourceHandle hSource, Target t, const std::string& strPart)
{
    std::error_code ec;
    std::string strWav = std::filesystem::temp_directory_path(ec).string();
    std::string strName = LFile::GetFileName(d.strPath);
    LFile::FilePathCat(strWav, "_" + strName.substr(0, strName.rfind('.')) + ".wav");
    SinkHandle hSink = LWaveFile::OpenSinkPCM(strWav, t.iRate, t.iChannels, 16, 0);
    if (!hSink || hSink->IsError()) {
        hSink.Reset();
        LFile::Delete(strWav);
        return CannotCreate(dlg, d);
    }
    int iResult = Pump(dlg, std::move(hSource), std::move(hSink));
    if (iResult == 0 && d.uPromptMode == LOVSaveToSink::kAsk) {
        LMp3EncoderSettings s = LMp3EncoderSettings::Load();
        if (d.pPrompts && !d.pPrompts->AskMp3Settings(s))
            iResult = 2;
        else
            s.Store();
    }
    if (iResult == 0) {
        LMp3EncodeWav encode{strWav, strPart, LMp3EncoderSettings::Load(), {}};
        iResult = ProcessBody(dlg, encode);
        // An encoder that ran and wrote nothing refused the bit rate.
        if (iResult == 0 && !LFile::Exists(strPart)) {
            ShowStop(dlg, d,
                     "Orvenna couldn't save the file because the selected bitrate is not legal for the output "
                     "sampling. Please select another bitrate and try again.");
            iResult = 2;
        }
    }
    LFile::Delete(strWav);
    return Finish(dlg, d, strPart, iResult);
}
} // namespace

int ProcessBody(LProgressDialog& dlg, LOVSaveToSink& d)
{
    dlg.SetText(kSaving, 0);
    SourceHandle hSource = d.hStream;
    if (!hSource)
        hSource = MakeHandle<LSRCCutListAudio>(*d.pSource);
    if (hSource->IsError())
        return CannotCreate(dlg, d);
    const std::string strExt = LFile::GetExtensionLower(d.strPath);
    const std::string strPart = PartPath(d.strPath);
    const Target t{d.iRate > 0 ? d.iRate : hSource->GetSampleRate(),
                   d.iChannels > 0 ? d.iChannels : hSource->GetChannels()};
    if (strExt == ".mp3")
        return SaveMp3(dlg, d, std::move(hSource), t, strPart);
    bool bCancelled = false;
    SinkHandle hSink;
    if (strExt == ".wav")
        hSink = WavSink(d, t, strPart, bCancelled);
    else if (strExt == ".vox" || strExt == ".raw")
        hSink = HeaderlessSink(d, hSource, t, strPart, bCancelled);
    else if (strExt == ".gsm")
        hSink = MakeHandle<LGSMFileSink>(strPart);
    else if (strExt == ".aif" || strExt == ".aiff")
        hSink = LAifFile::OpenSink(strPart, t.iRate, t.iChannels);
    else if (strExt == ".au")
        hSink = LAuFile::OpenSink(strPart, t.iRate, t.iChannels);
    if (bCancelled)
        return 2;
    if (!hSink || hSink->IsError()) {
        hSink.Reset();
        LFile::Delete(strPart);
        return CannotCreate(dlg, d);
    }
    if (TooLongFor(d, *hSource, *hSink, dlg)) {
        hSink.Reset();
        LFile::Delete(strPart);
        return 2;
    }
    return Finish(dlg, d, strPart, Pump(dlg, std::move(hSource), std::move(hSink)));
}
