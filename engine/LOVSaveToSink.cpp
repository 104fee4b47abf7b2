#include "engine/LOVSaveToSink.h"

#include "audio/LMP3Source.h"
#include "audio/LWaveFile.h"
#include "edit/LAudioCutTank.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "effects/LPRSourceToSink.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LMp3EncodeWav.h"
#include "engine/LWavCodecFile.h"
#include "platform/LFile.h"
#include "platform/LTrace.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {
const char* const kSaving = "Saving file...";
const char* const kPartInfix = ".part-";

std::string PartPath(const std::string& strPath)
{
    return strPath + kPartInfix + std::to_string(getpid());
}

// Part files beside strPath left by saves whose process no longer runs
// (killed, or the machine went down).
void RemoveDeadParts(const std::string& strPath)
{
    namespace fs = std::filesystem;
    const std::string strPrefix = LFile::GetFileName(strPath) + kPartInfix;
    const fs::path folder
        = fs::path(strPath).parent_path().empty() ? fs::path(".") : fs::path(strPath).parent_path();
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string strName = it->path().filename().string();
        if (strName.size() <= strPrefix.size()
            || strName.compare(0, strPrefix.size(), strPrefix) != 0)
            continue;
        char* pEnd = nullptr;
        long lPid = std::strtol(strName.c_str() + strPrefix.size(), &pEnd, 10);
        if (lPid <= 0 || *pEnd != 0 || lPid == long(getpid()))
            continue;
        if (kill(pid_t(lPid), 0) != 0 && errno == ESRCH)
            LFile::Delete(it->path().string());
    }
}

// The one message of a file that cannot be written, with the reason when
// one is known.
int CannotCreateBecause(LProgressDialog& dlg, LOVSaveToSink& d, std::string strWhy)
{
    d.strError = "Unable to create file \"" + d.strPath + "\"for saving.";
    if (!strWhy.empty()) {
        strWhy[0] = char(std::toupper(static_cast<unsigned char>(strWhy[0])));
        d.strError += " " + strWhy + ".";
    }
    dlg.ShowError(d.strError);
    return 2;
}

int CannotCreate(LProgressDialog& dlg, LOVSaveToSink& d, int iErrno = 0)
{
    return CannotCreateBecause(dlg, d, iErrno != 0 ? LFile::DescribeError(iErrno) : std::string());
}

// Pumps the list into the sink; the pump completes the file. A sink that
// failed is reported here, with its reason.
int Pump(LProgressDialog& dlg, LOVSaveToSink& d, SourceHandle hSource, SinkHandle hSink)
{
    SinkHandle hKeep = hSink;
    LPRSourceToSink pump { kSaving, std::move(hSource), std::move(hSink) };
    int iResult = ProcessBody(dlg, pump);
    const bool bFailed = hKeep->IsError();
    const int iErrno = hKeep->GetErrno();
    hKeep.Reset();
    if (iResult == 2 || bFailed)
        return CannotCreate(dlg, d, iErrno);
    return iResult;
}

// Puts the finished part file in the target's place, or removes it.
int Finish(LProgressDialog& dlg, LOVSaveToSink& d, const std::string& strPart, int iResult)
{
    if (iResult != 0) {
        LFile::Delete(strPart);
        return iResult;
    }
    if (int iErr = LFile::ReplaceFile(strPart, d.strPath); iErr != 0) {
        LFile::Delete(strPart);
        return CannotCreate(dlg, d, iErr);
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

// A file type whose size fields cannot hold the whole source (AU, AIFF) is
// refused before anything is written. Whether a WAV passes 4 GiB (RF64) does
// not matter.
bool TooLongFor(
    LOVSaveToSink& d, LSoundSourceBase& src, const LSoundSinkBase& sink, LProgressDialog& dlg)
{
    const int64_t iRate = sink.GetSampleRate();
    const int64_t iFrom = src.GetSampleRate();
    const int64_t iFrames = (int64_t(src.GetLength()) * iRate + iFrom - 1) / iFrom;
    if (iFrames <= sink.GetMaxFrames())
        return false;
    const int64_t iTenths = sink.GetMaxFrames() * 10 / (iRate * 3600);
    char sz[128];
    std::snprintf(sz, sizeof sz, "%lld.%lld hours of %lld Hz audio with %d channels",
        (long long)(iTenths / 10), (long long)(iTenths % 10), (long long)iRate, sink.GetChannels());
    d.strError = "Unable to save \"" + d.strPath + "\": this file type holds at most " + sz
        + ", and the audio is longer. Save it as WAV instead.";
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

// Frames of a file as our reader decodes them to the end (an MP3's header
// may promise more than its data holds).
int32_t DecodedLength(const SourceHandle& h)
{
    std::vector<int32_t> block(size_t(h->GetChannels()) * kBlockFrames);
    while (!h->IsError() && h->GetPosition() < h->GetLength())
        h->Read(block.data(), kBlockFrames);
    return h->IsError() ? 0 : h->GetLength();
}

// True when the MP3 holds at least the time of the WAV it was made from (less
// one MP3 frame; the encoder may change the rate).
bool Mp3IsWhole(const std::string& strWav, const std::string& strMp3)
{
    SourceHandle hWav = LWaveFile::OpenSource(strWav);
    SourceHandle hMp3 = LMP3Source::Open(strMp3);
    const int64_t iGiven = hWav->GetLength();
    const int64_t iGot = DecodedLength(hMp3);
    return !hWav->IsError() && !hMp3->IsError()
        && (iGot + 1152) * hWav->GetSampleRate() >= iGiven * hMp3->GetSampleRate();
}

// Copies the finished MP3 into a new part file; 0 or an errno.
int CopyToPart(const std::string& strFrom, const std::string& strPart)
{
    LFile in, out;
    LFile::Delete(strPart); // whatever sits at our own name is stale or planted
    if (!in.Open(strFrom, LFile::Mode::Read))
        return in.GetError();
    if (!out.Open(strPart, LFile::Mode::CreateNew))
        return out.GetError();
    std::vector<uint8_t> buf(size_t(1) << 16);
    for (int64_t n; (n = in.Read(buf.data(), int64_t(buf.size()))) > 0;)
        if (out.Write(buf.data(), n) != n)
            break;
    out.Close();
    return out.GetError();
}

// Encodes the WAV into the MP3 and checks what the encoder left.
int Encode(
    LProgressDialog& dlg, LOVSaveToSink& d, const std::string& strWav, const std::string& strMp3)
{
    if (!d.fixedMp3 && d.uPromptMode == LOVSaveToSink::kAsk) {
        LMp3EncoderSettings s = LMp3EncoderSettings::Load();
        if (d.pPrompts && !d.pPrompts->AskMp3Settings(s))
            return 2;
        s.Store();
    }
    LMp3EncodeWav encode { strWav, strMp3, d.fixedMp3 ? *d.fixedMp3 : LMp3EncoderSettings::Load(),
        {} };
    int iResult = ProcessBody(dlg, encode);
    if (encode.iExitCode < 0)
        return iResult; // missing, cancelled or stopped: already said
    std::error_code ec;
    // An encoder that ran and wrote nothing refused the bit rate.
    if (std::filesystem::file_size(strMp3, ec) == 0 || ec) {
        ShowStop(dlg, d,
            "Orvenna couldn't save the file because the selected bitrate is not legal for the "
            "output "
            "sampling. Please select another bitrate and try again.");
        return 2;
    }
    if (iResult != 0)
        return CannotCreateBecause(
            dlg, d, "the MP3 encoder failed (exit code " + std::to_string(encode.iExitCode) + ")");
    if (!Mp3IsWhole(strWav, strMp3))
        return CannotCreateBecause(
            dlg, d, "the MP3 encoder wrote a shorter file than it was given");
    return 0;
}

// MP3: a PCM WAV in a private file of the audio working folder, encoded by the
// outside encoder into another private file there, checked by decoding it and
// copied beside the target. The encoder never writes where another user could
// plant a name for it, and two saves never share a file.
int SaveMp3(LProgressDialog& dlg, LOVSaveToSink& d, SourceHandle hSource, Target t,
    const std::string& strPart)
{
    const std::string strFolder = LAudioCutTank::Get().GetFolder();
    std::string strWav, strMp3;
    LFile wav, mp3;
    if (!wav.OpenUnique(strFolder, "save-", ".wav", strWav))
        return CannotCreate(dlg, d, wav.GetError());
    wav.Close();
    int iResult = 2;
    if (!mp3.OpenUnique(strFolder, "save-", ".mp3", strMp3)) {
        CannotCreate(dlg, d, mp3.GetError());
    } else {
        mp3.Close();
        SinkHandle hSink = LWaveFile::OpenSinkPCM(strWav, t.iRate, t.iChannels, 16, 0);
        if (!hSink || hSink->IsError())
            CannotCreate(dlg, d, hSink ? hSink->GetErrno() : 0);
        else
            iResult = Pump(dlg, d, std::move(hSource), std::move(hSink));
        if (iResult == 0)
            iResult = Encode(dlg, d, strWav, strMp3);
        if (iResult == 0)
            if (int iErr = CopyToPart(strMp3, strPart); iErr != 0)
                iResult = CannotCreate(dlg, d, iErr);
        LFile::Delete(strMp3);
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
    RemoveDeadParts(d.strPath);
    LFile::Delete(strPart); // whatever sits at our own name is stale or planted
    const Target t { d.iRate > 0 ? d.iRate : hSource->GetSampleRate(),
        d.iChannels > 0 ? d.iChannels : hSource->GetChannels() };
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
        const int iErrno = hSink ? hSink->GetErrno() : 0;
        hSink.Reset();
        LFile::Delete(strPart);
        return CannotCreate(dlg, d, iErrno);
    }
    if (TooLongFor(d, *hSource, *hSink, dlg)) {
        hSink.Reset();
        LFile::Delete(strPart);
        return 2;
    }
    return Finish(dlg, d, strPart, Pump(dlg, d, std::move(hSource), std::move(hSink)));
}
