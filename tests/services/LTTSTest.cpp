#include "services/LTTS.h"

#include "edit/LSRCCutListAudio.h"
#include "effects/LCLAConvertRateChannels.h"
#include "engine/MainDialog.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "platform/LFolders.h"
#include "platform/LSettings.h"
#include "process/LProgressView.h"
#include "services/LTTSCommand.h"
#include "services/LTTSIAudioWavWrite.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <thread>

using namespace TestSupport;

namespace {
uint32_t Get32(const std::vector<uint8_t>& v, size_t i)
{
    return v[i] | v[i + 1] << 8 | v[i + 2] << 16 | uint32_t(v[i + 3]) << 24;
}

// The header a destination writes, checked against the file's size: 0 when
// right, else what is wrong.
std::string HeaderFault(const std::vector<uint8_t>& f, uint32_t uExtra)
{
    const size_t uHead = 46 + uExtra;
    if (f.size() < uHead || std::memcmp(f.data(), "RIFF", 4) || std::memcmp(&f[8], "WAVEfmt ", 8)
        || std::memcmp(&f[38 + uExtra], "data", 4))
        return "tags";
    if (Get32(f, 16) != 18 + uExtra)
        return "format size";
    if (Get32(f, 4) != f.size() - 8 || Get32(f, 4) != uExtra + Get32(f, 42 + uExtra) + 38)
        return "RIFF size";
    return Get32(f, 42 + uExtra) == f.size() - uHead ? "" : "data size";
}

// The names of the voices the engine's own program lists (blanks shown as
// '_').
std::set<std::string> ProgramVoices()
{
    std::string strOut;
    TestSupport::Run({ "espeak-ng", "--voices" }, &strOut);
    std::set<std::string> voices;
    std::istringstream in(strOut);
    std::string strLine;
    std::getline(in, strLine);
    while (std::getline(in, strLine)) {
        std::istringstream words(strLine);
        std::string strPty, strLang, strAge, strName;
        if (words >> strPty >> strLang >> strAge >> strName)
            voices.insert(strName);
    }
    return voices;
}

int Speak(const std::string& strText, int iVoice, const std::string& strPath, LTTS* pOut = nullptr)
{
    LTTS tts { strText, strPath, iVoice };
    Process<LTTS> run("Synthesize Voice", tts);
    run.Run();
    if (pOut)
        *pOut = tts;
    return run.GetResult();
}

class RecordingSink : public IAudioDestNotifySink {
public:
    void AudioStop(uint16_t w) override { strCalls += "stop" + std::to_string(w) + " "; }
    void AudioStart() override { strCalls += "start "; }
    void BookMark(uint32_t id) override { strCalls += "mark" + std::to_string(id) + " "; }
    std::string strCalls;
};

LFile NewFile(const std::string& strPath)
{
    LFile f;
    EXPECT_TRUE(f.Open(strPath, LFile::Mode::CreateReadWrite));
    return f;
}

// A format image of n bytes whose extra size field says uExtra.
std::vector<uint8_t> Format(size_t n, uint32_t uExtra)
{
    std::vector<uint8_t> v(n, 0x5A);
    if (n >= 18) {
        v[16] = uint8_t(uExtra);
        v[17] = uint8_t(uExtra >> 8);
    }
    return v;
}
} // namespace

TEST(LTTSIAudioWavWrite, InterfacesAndResults)
{
    TempDir dir;
    LTTSIAudioWavWrite audio(NewFile(dir.File("a.wav")));
    IAudioDest& dest = audio.GetDest();
    void* pv = nullptr;
    struct {
        LUnknown* pFrom;
        LGuid iid;
        void* pWant;
    } const qi[] = {
        { &audio, IID_IUnknown, static_cast<IAudio*>(&audio) },
        { &audio, IID_IAudio, static_cast<IAudio*>(&audio) },
        { &audio, IID_IAudioDest, &dest },
        { &audio, IID_IAudioDestNotifySink, nullptr },
        { &dest, IID_IUnknown, &dest },
        { &dest, IID_IAudioDest, &dest },
        { &dest, IID_IAudio, nullptr },
    };
    for (const auto& c : qi) {
        EXPECT_EQ(c.pFrom->QueryInterface(c.iid, &pv), c.pWant ? kSOk : kENoInterface);
        EXPECT_EQ(pv, c.pWant);
    }
    uint8_t b[4] = {};
    EXPECT_EQ(dest.DataSet(b, 4), kAudErrNeedWaveFormat);
    EXPECT_EQ(audio.WaveFormatGet(nullptr), kAudErrNeedWaveFormat);
    EXPECT_EQ(audio.LevelSet(5), kENotImpl);
    uint32_t uFree = 0;
    int bEnd = 1;
    EXPECT_EQ(dest.FreeSpace(&uFree, &bEnd), kSOk);
    EXPECT_EQ(uFree, 65536u);
    EXPECT_EQ(bEnd, 0);
    // Formats: the 1024-byte limit, and an extra size beyond the bytes given.
    struct {
        size_t n;
        uint32_t uExtra;
        LResult hr;
    } const formats[] = { { 1025, 1007, kAudErrWaveFormatNotSupported },
        { 30, 13, kAudErrWaveFormatNotSupported }, { 17, 0, kAudErrWaveFormatNotSupported },
        { 1024, 1006, kSOk } };
    for (const auto& c : formats) {
        std::vector<uint8_t> f = Format(c.n, c.uExtra);
        EXPECT_EQ(audio.WaveFormatSet({ f.data(), uint32_t(f.size()) }), c.hr) << c.n;
        EXPECT_EQ(audio.IsFormatSet(), c.hr == kSOk);
    }
}

TEST(LTTSIAudioWavWrite, CallOrderAndHeader)
{
    TempDir dir;
    struct {
        size_t nFormat;
        uint32_t uExtra;
    } const cases[] = { { 18, 0 }, { 20, 2 }, { 1024, 1006 } };
    for (const auto& c : cases) {
        std::string strPath = dir.File("h" + std::to_string(c.nFormat) + ".wav");
        LTTSIAudioWavWrite audio(NewFile(strPath));
        RecordingSink sink, other;
        audio.PassNotify(&other, IID_IAudioDest); // not a sink's id: ignored
        audio.PassNotify(&sink, IID_IAudioDestNotifySink);
        std::vector<uint8_t> f = Format(c.nFormat, c.uExtra);
        ASSERT_EQ(audio.WaveFormatSet({ f.data(), uint32_t(f.size()) }), kSOk);
        std::vector<uint8_t> head = ReadAll(strPath);
        ASSERT_EQ(head.size(), 46 + c.uExtra);
        EXPECT_EQ(Get32(head, 4), 0xFFFFFFFFu);
        EXPECT_EQ(Get32(head, 42 + c.uExtra), 0xFFFFFFFFu);
        EXPECT_TRUE(std::equal(f.begin(), f.begin() + 18 + c.uExtra, head.begin() + 20));

        EXPECT_FALSE(audio.IsStarted());
        audio.Claim();
        EXPECT_TRUE(audio.IsStarted() && !audio.IsFinished());
        std::vector<uint8_t> data(300);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = uint8_t(i * 7);
        EXPECT_EQ(audio.GetDest().DataSet(data.data(), 100), kSOk);
        audio.GetDest().BookMark(7);
        EXPECT_EQ(audio.GetDest().DataSet(data.data() + 100, 200), kSOk);
        audio.UnClaim();
        EXPECT_TRUE(audio.IsFinished());
        audio.Release(); // forgets the sink
        audio.Claim();
        EXPECT_EQ(sink.strCalls, "start mark7 stop0 ");
        EXPECT_EQ(other.strCalls, "");
        ASSERT_TRUE(audio.Close());
        std::vector<uint8_t> file = ReadAll(strPath);
        EXPECT_EQ(HeaderFault(file, c.uExtra), "");
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + 46 + c.uExtra, file.end()), data);
    }
}

TEST(LTTS, VoicesAreTheEnginesInItsOrder)
{
    REQUIRE_PEER("espeak-ng");
    std::set<std::string> program = ProgramVoices();
    const int n = TTSGetNumSpeakers();
    ASSERT_GT(n, 0);
    EXPECT_EQ(size_t(n), program.size());
    for (int i = 0; i < n; ++i) {
        std::string strName = TTSGetDictSpeakerName(i);
        std::replace(strName.begin(), strName.end(), ' ', '_');
        EXPECT_EQ(program.count(strName), 1u) << strName;
    }
    EXPECT_EQ(TTSGetDictSpeakerName(n), "");
}

TEST(LTTS, FailuresGiveTheEngineMessage)
{
    TempDir dir;
    struct {
        const char* szText;
        int iVoice;
    } const cases[] = {
        { "Hello", TTSGetNumSpeakers() }, // past the last voice
        { "Hello", -1 }, { "", 0 }, // refused by the engine: not counted as spoken
    };
    for (const auto& c : cases) {
        LTTS out;
        EXPECT_EQ(Speak(c.szText, c.iVoice, dir.File("f.wav"), &out), 2) << c.iVoice;
        EXPECT_EQ(out.strError, kNoSpeechEngineText);
        EXPECT_EQ(LSilentProgressView::LastError(), kNoSpeechEngineText);
    }
    LTTS out;
    EXPECT_EQ(Speak("Hello", 0, dir.File("missing/f.wav"), &out), 2);
    EXPECT_NE(out.strError.find("Unable to create the file"), std::string::npos);
}

TEST(LTTS, CancelStopsTheEngineBeforeTheFileCloses)
{
    TempDir dir;
    std::string strText;
    for (int i = 0; i < 60; ++i)
        strText += "This sentence is long enough to keep the engine busy for a while. ";
    LSilentProgressView::SetCancelAfterPumps(4);
    const int iResult = Speak(strText, 0, dir.File("c.wav"));
    LSilentProgressView::SetCancelAfterPumps(0);
    EXPECT_EQ(iResult, 1);
    std::vector<uint8_t> file = ReadAll(dir.File("c.wav"));
    EXPECT_EQ(HeaderFault(file, 0), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(ReadAll(dir.File("c.wav")), file) << "written after the operation ended";
}

TEST(LTTS, ProgressOnlyGrows)
{
    for (size_t n : { 0, 1, 5, 9, 10, 11, 100, 8192 }) {
        const double f = TTSProgressFactor(n);
        double p = 1, dLast = -1;
        for (int i = 0; i < 40; ++i, p *= f) {
            EXPECT_TRUE(1 - p >= dLast && 1 - p <= 1) << n << " step " << i;
            dLast = 1 - p;
        }
    }
}

namespace {
class SpeechUi : public MainDialogUi {
public:
    Answer AskYesNoCancel(const std::string&, Icon) override { return Answer::Cancel; }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        return {};
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override { return ""; }
    bool AskDialog(const std::string&, LDialogValues&) override { return false; }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat&, int, const std::string&) override { return true; }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string& strText, const std::string&, Icon) override
    {
        messages.push_back(strText);
    }
    std::vector<std::string> messages;
};

std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    return ReadFrames(src, list.GetTotalLength());
}

// The speech as the document should receive it: loaded and converted.
std::vector<int32_t> Expected(const std::string& strWav, int32_t iRate, int iChannels)
{
    LCutListAudio list;
    OVLoadFile load { strWav, &list };
    Process<OVLoadFile> run("Load", load);
    run.Run();
    LCLAConvertRateChannels convert { &list, iRate, iChannels };
    Process<LCLAConvertRateChannels> conv("Convert", convert);
    conv.Run();
    return Samples(list);
}
} // namespace

TEST(LTTS, CommandInsertsAtTheCursorOrOverTheSelection)
{
    TempDir dir;
    LSettings& s = LSettings::Get();
    s.SetBool("Settings", "PromptSampleAndChannels", false);
    s.SetInt("Settings", "DefaultSampleRate", 48000);
    s.SetInt("Settings", "DefaultChannels", 2);
    s.SetBool("Settings", "AutoPlaybackAfterEffects", false);
    // The speech as written, before the command deletes it.
    const std::string strReference = dir.File("reference.wav");
    struct {
        const char* szName;
        int32_t iRate; // 0: no document open
        int iChannels;
        int32_t iSelStart, iSelEnd, iPosition;
        bool bSpeak;
    } const cases[] = {
        { "new document", 0, 2, 0, 0, 0, true },
        { "cursor", 8000, 1, 1500, 1500, 1500, true },
        { "selection", 44100, 2, 1000, 3000, 2000, true },
        { "cancelled", 44100, 1, 1000, 3000, 2000, false },
    };
    for (const auto& c : cases) {
        SpeechUi ui;
        LNoPlayback playback;
        MainDialog main(ui, playback);
        std::string strAsked;
        main.GetCommands().Register({ TextToSpeechCommand(main, [&](const std::string& strPath) {
            strAsked = strPath;
            if (!c.bSpeak || Speak("Hello.", 0, strPath) != 0)
                return false;
            return WriteAll(strReference, ReadAll(strPath));
        }) });
        if (c.iRate) {
            ASSERT_TRUE(main.LoadFile(
                MakeRampWav(dir, "doc.wav", c.iRate, c.iChannels, 4000, 3), false, false));
            main.ModifySelection(c.iSelStart, c.iSelEnd, c.iPosition);
        }
        const std::vector<int32_t> before
            = c.iRate ? Samples(main.GetCurrentFile()->claAudio) : std::vector<int32_t> {};
        ASSERT_TRUE(main.EvCommand(CM_TTS));
        ASSERT_NE(main.GetCurrentFile(), nullptr) << c.szName;
        LOVFile& doc = *main.GetCurrentFile();
        EXPECT_EQ(strAsked, LFolders::GetCurrentFolder() + "/Synthesized.wav");
        EXPECT_FALSE(LFile::Exists(strAsked)) << c.szName;
        EXPECT_FALSE(LFile::Exists("Synthesized.wav")) << c.szName;
        EXPECT_TRUE(ui.messages.empty()) << c.szName;
        const int32_t iRate = c.iRate ? c.iRate : 48000;
        ASSERT_EQ(doc.claAudio.GetSampleRate(), iRate);
        if (!c.bSpeak) {
            EXPECT_EQ(Samples(doc.claAudio), before);
            EXPECT_EQ(doc.GetUndoName(), "") << "no step for nothing done";
            continue;
        }
        const size_t ch = size_t(c.iChannels);
        std::vector<int32_t> speech = Expected(strReference, iRate, c.iChannels);
        std::vector<int32_t> want(before.begin(), before.begin() + c.iSelStart * ch);
        want.insert(want.end(), speech.begin(), speech.end());
        want.insert(want.end(), before.begin() + c.iSelEnd * ch, before.end());
        EXPECT_EQ(Samples(doc.claAudio), want) << c.szName;
        EXPECT_EQ(doc.sSelStart, c.iSelStart);
        EXPECT_EQ(doc.sSelEnd, c.iSelStart + int32_t(speech.size() / ch));
        EXPECT_EQ(doc.sPosition, c.iPosition) << c.szName;
        EXPECT_EQ(doc.GetUndoName(), "Text To Speech");
        main.CmUndo();
        EXPECT_EQ(Samples(doc.claAudio), before) << c.szName;
    }
}
