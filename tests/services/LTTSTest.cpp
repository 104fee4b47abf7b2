#include "services/LTTS.h"

#include "effects/LCLAConvertRateChannels.h"
#include "engine/OVLoadFile.h"
#include "platform/LFolders.h"
#include "platform/LSettings.h"
#include "process/LProgressView.h"
#include "services/LTTSCommand.h"
#include "services/LTTSIAudioWavWrite.h"
#include "support/ScriptedUi.h"

#include <cstring>
#include <gtest/gtest.h>
#include <thread>

using namespace TestSupport;

namespace {
uint32_t Get32(const std::vector<uint8_t>& v, size_t i)
{
    return v[i] | v[i + 1] << 8 | v[i + 2] << 16 | uint32_t(v[i + 3]) << 24;
}

// "" when the header is the destination's and its sizes match the file.
std::string HeaderFault(const std::vector<uint8_t>& f, uint32_t uExtra)
{
    if (f.size() < 46 + uExtra || std::memcmp(f.data(), "RIFF", 4)
        || std::memcmp(&f[8], "WAVEfmt ", 8) || std::memcmp(&f[38 + uExtra], "data", 4))
        return "tags";
    if (Get32(f, 16) != 18 + uExtra || Get32(f, 4) != f.size() - 8)
        return "format or RIFF size";
    return Get32(f, 42 + uExtra) == f.size() - 46 - uExtra ? "" : "data size";
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

// A format image of n bytes whose extra size field says uExtra.
std::vector<uint8_t> Format(size_t n, uint32_t uExtra)
{
    std::vector<uint8_t> v(n, 0x5A);
    v[16] = uint8_t(uExtra);
    v[17] = uint8_t(uExtra >> 8);
    return v;
}
} // namespace

// The interfaces the speech engine uses; the header sizes stay open until Close.
TEST(LTTSIAudioWavWrite, FormatLimitsAndHeader)
{
    TempDir dir;
    const std::string strPath = dir.File("a.wav");
    LFile file;
    ASSERT_TRUE(file.Open(strPath, LFile::Mode::CreateReadWrite));
    LTTSIAudioWavWrite audio(std::move(file));
    IAudioDest& dest = audio.GetDest();
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 7);
    EXPECT_EQ(dest.DataSet(data.data(), 4), kAudErrNeedWaveFormat);
    // The 1024-byte limit, and an extra size beyond the bytes given.
    struct {
        size_t n;
        uint32_t uExtra;
        LResult hr;
    } const formats[] = { { 1025, 1007, kAudErrWaveFormatNotSupported },
        { 30, 13, kAudErrWaveFormatNotSupported }, { 1024, 1006, kSOk }, { 20, 2, kSOk } };
    for (const auto& c : formats) {
        std::vector<uint8_t> f = Format(c.n, c.uExtra);
        EXPECT_EQ(audio.WaveFormatSet({ f.data(), uint32_t(f.size()) }), c.hr) << c.n;
    }
    std::vector<uint8_t> head = ReadAll(strPath);
    ASSERT_EQ(head.size(), 48u);
    EXPECT_EQ(Get32(head, 4) & Get32(head, 44), 0xFFFFFFFFu);

    audio.Claim();
    EXPECT_TRUE(audio.IsStarted() && !audio.IsFinished());
    uint32_t uFree = 0;
    int bEnd = 1;
    EXPECT_EQ(dest.FreeSpace(&uFree, &bEnd), kSOk);
    EXPECT_TRUE(uFree == 65536 && bEnd == 0);
    EXPECT_EQ(dest.DataSet(data.data(), 100), kSOk);
    EXPECT_EQ(dest.DataSet(data.data() + 100, 200), kSOk);
    audio.UnClaim();
    EXPECT_TRUE(audio.IsFinished());
    ASSERT_TRUE(audio.Close());
    std::vector<uint8_t> f = ReadAll(strPath);
    EXPECT_EQ(HeaderFault(f, 2), "");
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 48, f.end()), data);
}

TEST(LTTS, FailuresAreReported)
{
    TempDir dir;
    struct {
        const char* szText;
        int iVoice;
        const char* szPath;
        std::string strError;
    } const cases[] = {
        { "Hello", TTSGetNumSpeakers(), "f.wav", kNoSpeechEngineText }, // past the last voice
        { "", 0, "f.wav", kNoSpeechEngineText }, // the engine refused the text: not finished
        { "Hello", 0, "missing/f.wav", "Unable to create the file \"" + dir.File("missing/f.wav") },
    };
    for (const auto& c : cases) {
        LTTS out;
        EXPECT_EQ(Speak(c.szText, c.iVoice, dir.File(c.szPath), &out), 2) << c.iVoice;
        EXPECT_EQ(out.strError.substr(0, c.strError.size()), c.strError);
        EXPECT_EQ(LSilentProgressView::LastError(), out.strError);
    }
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
        double p = 1, dLast = 0;
        for (int i = 0; i < 40; ++i, p *= TTSProgressFactor(n)) {
            EXPECT_TRUE(1 - p >= dLast && 1 - p <= 1) << n << " step " << i;
            dLast = 1 - p;
        }
    }
}

namespace {
// The speech as a document should receive it: loaded, then converted.
std::vector<int32_t> Converted(const std::string& strWav, int32_t iRate, int iChannels)
{
    LCutListAudio list;
    OVLoadFile load { strWav, &list };
    Process<OVLoadFile>("Load", load).Run();
    LCLAConvertRateChannels convert { &list, iRate, iChannels };
    Process<LCLAConvertRateChannels>("Convert", convert).Run();
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
    const std::string strSpoken = dir.File("spoken.wav"); // kept before the command deletes it
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
        ScriptedUi ui;
        ui.bFailOnMessage = true;
        LNoPlayback playback;
        MainDialog main(ui, playback);
        std::string strAsked;
        main.GetCommands().Register({ TextToSpeechCommand(main, [&](const std::string& strPath) {
            strAsked = strPath;
            return c.bSpeak && Speak("Hello.", 0, strPath) == 0
                && WriteAll(strSpoken, ReadAll(strPath));
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
        // In the data folder, not the current directory, and gone afterwards.
        EXPECT_EQ(strAsked, LFolders::GetCurrentFolder() + "/Synthesized.wav");
        EXPECT_FALSE(LFile::Exists(strAsked) || LFile::Exists("Synthesized.wav")) << c.szName;
        const int32_t iRate = c.iRate ? c.iRate : 48000;
        ASSERT_EQ(doc.claAudio.GetSampleRate(), iRate);
        if (!c.bSpeak) {
            EXPECT_EQ(Samples(doc.claAudio), before);
            EXPECT_EQ(doc.GetUndoName(), "") << "no step for nothing done";
            continue;
        }
        const size_t ch = size_t(c.iChannels);
        std::vector<int32_t> speech = Converted(strSpoken, iRate, c.iChannels);
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
