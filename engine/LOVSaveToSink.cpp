#include "engine/LOVSaveToSink.h"

#include "audio/LWaveFile.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LPRSourceToSink.h"
#include "engine/LFileFormats.h"
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

// The rate and channels a save writes.
struct Target {
    int32_t iRate;
    int iChannels;
};

// The WAV format: fixed by the caller, 16-bit PCM in mode 0, else the stored
// compressed format, offered to the chooser first in mode 1. False when the
// chooser was cancelled.
bool AnswerWav(LOVSaveToSink& d, LSinkRequest& r)
{
    if (d.fixedWavFormat) {
        r.wavFormat = *d.fixedWavFormat;
        return true;
    }
    if (d.uPromptMode == LOVSaveToSink::kPcmWithoutAsking) {
        r.wavFormat = LWaveFormat::Pcm(uint16_t(r.iChannels), uint32_t(r.iRate), 16);
        return true;
    }
    r.wavFormat = LWavCodecFile::Load();
    if (d.uPromptMode == LOVSaveToSink::kAsk) {
        if (!d.pPrompts
            || !d.pPrompts->ChooseWaveFormat(r.wavFormat, r.iChannels, "Select Wave File Format"))
            return false;
        LWavCodecFile::Store(r.wavFormat);
    }
    return true;
}

// VOX and raw files are mono (taken on the way: the document keeps its
// channels); the raw writer may spread them over two channels again.
bool AnswerHeaderless(LOVSaveToSink& d, SourceHandle& hSource, LSinkRequest& r)
{
    const int32_t iRate = hSource->GetSampleRate();
    hSource = ConvertRateChannels(std::move(hSource), iRate, 1);
    if (d.fixedHeaderless) {
        r.headerless = *d.fixedHeaderless;
        return true;
    }
    r.headerless = LHeaderlessFormat::Load();
    if (d.uPromptMode == LOVSaveToSink::kAsk) {
        if (!d.pPrompts || !d.pPrompts->AskFileProperties(r.headerless))
            return false;
        LHeaderlessFormat::Store(r.headerless);
    }
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
    if (iResult == 0 && !d.fixedMp3 && d.uPromptMode == LOVSaveToSink::kAsk) {
        LMp3EncoderSettings s = LMp3EncoderSettings::Load();
        if (d.pPrompts && !d.pPrompts->AskMp3Settings(s))
            iResult = 2;
        else
            s.Store();
    }
    if (iResult == 0) {
        LMp3EncodeWav encode { strWav, strPart,
            d.fixedMp3 ? *d.fixedMp3 : LMp3EncoderSettings::Load(), {} };
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
    const LFileFormat* pFormat = LFileFormats::FindByPath(d.strPath);
    const std::string strPart = PartPath(d.strPath);
    const Target t{d.iRate > 0 ? d.iRate : hSource->GetSampleRate(),
                   d.iChannels > 0 ? d.iChannels : hSource->GetChannels()};
    if (pFormat && pFormat->settings == LFormatSettings::Mp3Encoder)
        return SaveMp3(dlg, d, std::move(hSource), t, strPart);
    LSinkRequest request { t.iRate, t.iChannels, {}, {} };
    if (pFormat && pFormat->settings == LFormatSettings::WaveFormat && !AnswerWav(d, request))
        return 2;
    if (pFormat && pFormat->NeedsHeaderless() && !AnswerHeaderless(d, hSource, request))
        return 2;
    SinkHandle hSink;
    if (pFormat && pFormat->bWritable && pFormat->fnOpenSink)
        hSink = pFormat->fnOpenSink(strPart, request);
    if (!hSink || hSink->IsError()) {
        hSink.Reset();
        LFile::Delete(strPart);
        return CannotCreate(dlg, d);
    }
    return Finish(dlg, d, strPart, Pump(dlg, std::move(hSource), std::move(hSink)));
}
