#include "services/LTTS.h"

#include "platform/LFile.h"
#include "platform/speech/LTTSEngine.h"
#include "services/LTTSIAudioWavWrite.h"

#include <algorithm>
#include <memory>

const char* const kNoSpeechEngineText
    = "No Speech Engine Installed.\r\n\r\nIn order to use the Speech Synthesizer you must install "
      "a speech engine. You can download the free Microsoft engine using the links on "
      "https://github.com/espeak-ng/espeak-ng/releases.";

namespace {
bool IsLeadByte(char c)
{
    return (uint8_t(c) & 0xC0) != 0x80;
}

// The first kMaxText characters.
std::string SpokenText(const std::string& s)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (IsLeadByte(s[i]) && ++n > LTTS::kMaxText)
            return s.substr(0, i);
    return s;
}

int Fail(LProgressDialog& dlg, LTTS& d, const std::string& strText)
{
    d.strError = strText;
    dlg.ShowError(strText);
    return 2;
}

// Waits for the engine to claim the destination, then for it to finish,
// showing progress; 0 finished, 1 cancelled.
int WaitSpoken(LProgressDialog& dlg, const LTTSIAudioWavWrite& audio, size_t iLength)
{
    for (int i = 0; i < 30 && !audio.IsStarted(); ++i)
        if (!dlg.WaitPumping(100))
            return 1;
    const double f = TTSProgressFactor(iLength);
    double p = 1;
    for (;;) {
        if (dlg.CheckCancel())
            return 1;
        dlg.SetProgress(1 - p);
        p *= f;
        if (audio.IsFinished())
            return 0;
        if (!dlg.WaitPumping(50))
            return 1;
    }
}
} // namespace

size_t TTSCountCharacters(const std::string& s)
{
    return size_t(std::count_if(s.begin(), s.end(), IsLeadByte));
}

double TTSProgressFactor(size_t iCharacters)
{
    return 1.0 - 10.0 / double(std::max<size_t>(iCharacters, 10) + 1);
}

int TTSGetNumSpeakers()
{
    LTTSEnum voices;
    if (!voices.Create())
        return 0;
    int n = 0;
    for (LTTSModeInfo mode; voices.Next(mode);)
        ++n;
    return n;
}

std::string TTSGetDictSpeakerName(int iVoice)
{
    LTTSEnum voices;
    LTTSModeInfo mode;
    bool bFound = voices.Create() && iVoice >= 0;
    for (int i = 0; bFound && i <= iVoice; ++i)
        bFound = voices.Next(mode);
    return bFound ? mode.strModeName : std::string();
}

int ProcessBody(LProgressDialog& dlg, LTTS& d)
{
    dlg.SetText("Synthesizing Voice", 0);
    dlg.SetText("Please wait", 1);
    d.strError.clear();
    LTTSEnum voices;
    LTTSModeInfo mode;
    bool bFound = voices.Create() && d.iVoice >= 0;
    voices.Reset();
    for (int i = 0; bFound && i <= d.iVoice; ++i)
        bFound = voices.Next(mode);
    if (!bFound)
        return Fail(dlg, d, kNoSpeechEngineText);

    LFile file;
    if (!file.Open(d.strPath, LFile::Mode::CreateReadWrite))
        return Fail(dlg, d,
            "Unable to create the file \"" + d.strPath + "\" ("
                + LFile::DescribeError(file.GetError()) + ").");
    LTTSIAudioWavWrite audio(std::move(file));
    std::unique_ptr<LTTSCentral> pCentral;
    int iResult = 2;
    const std::string strText = SpokenText(d.strText);
    // A text the engine refused is a failure, not speech that ended.
    if (voices.Select(mode, &audio, pCentral) == kSOk && pCentral->TextData(strText) == kSOk)
        iResult = WaitSpoken(dlg, audio, TTSCountCharacters(strText));
    // The engine thread ends before the file is finished and closed.
    const bool bSpoken
        = pCentral && pCentral->AudioReset() == kSOk && pCentral->GetSpeakResult() == kSOk;
    pCentral.reset();
    audio.Release();
    const bool bClosed = audio.Close();
    if (iResult == 1)
        return 1;
    if (!bClosed)
        return Fail(dlg, d,
            "Unable to write the file \"" + d.strPath + "\" ("
                + LFile::DescribeError(audio.GetError()) + ").");
    if (iResult != 0 || !bSpoken)
        return Fail(dlg, d, kNoSpeechEngineText);
    return 0;
}
