#include "engine/MainDialog.h"

#include "engine/LOVRecordInfo.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"
#include "process/LProgressView.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
struct Fixture : ::testing::Test {
    Fixture()
    {
        LSettings::Get().SetBool("Settings", "AutoPlaybackAfterEffects", true);
        LSettings::Get().SetBool("Settings", "PromptSampleAndChannels", false);
    }
    ~Fixture() override
    {
        LSettings::Get().Remove("Settings", "AutoPlaybackAfterEffects");
        LSettings::Get().Remove("Settings", "PromptSampleAndChannels");
    }
    LOVFile& Open(const std::string& strPath)
    {
        EXPECT_TRUE(main.LoadFile(strPath, false, false));
        return *main.GetCurrentFile();
    }
    TempDir dir;
    ScriptedUi ui;
    RecordingPlayback playback;
    MainDialog main { ui, playback };
};
using MainDialogTest = Fixture;
} // namespace

TEST_F(MainDialogTest, EightStepsOfUndoAndTheMenuText)
{
    LOVFile& doc = Open(MakeRampWav(dir, "a.wav", 8000, 1, 8000));
    EXPECT_EQ(doc.bDirty, 0);
    std::vector<std::vector<int32_t>> states { Samples(doc.claAudio) };
    for (int i = 0; i < 9; ++i) {
        main.ModifySelection(100 * i, 100 * i + 50, 0);
        main.EvCommand(CM_DELETE);
        states.push_back(Samples(doc.claAudio));
    }
    EXPECT_EQ(doc.GetLength(), 8000 - 9 * 50);
    EXPECT_EQ(ui.menu[CM_UNDO], std::make_pair(std::string("Undo Delete\tCtrl+Z"), true));
    for (int i = 8; i >= 1; --i) {
        main.EvCommand(CM_UNDO);
        EXPECT_EQ(Samples(doc.claAudio), states[size_t(i)]) << "undo " << 9 - i;
    }
    EXPECT_EQ(ui.menu[CM_UNDO], std::make_pair(std::string("Undo \tCtrl+Z"), false));
    EXPECT_FALSE(main.IsCommandEnabled(CM_UNDO));
    main.EvCommand(CM_UNDO); // the ninth: nothing left
    EXPECT_EQ(Samples(doc.claAudio), states[1]);
    EXPECT_EQ(doc.bDirty, 1) << "the oldest step that was kept came after the first edit";
}

TEST_F(MainDialogTest, UndoRestoresTheDirtyFlagOfItsStep)
{
    std::string strPath = MakeRampWav(dir, "a.wav", 8000, 1, 4000);
    LOVFile& doc = Open(strPath);
    main.ModifySelection(0, 1000, 0);
    main.EvCommand(CM_CUT);
    EXPECT_EQ(doc.bDirty, 1);
    ASSERT_TRUE(main.CmSave(doc));
    EXPECT_EQ(doc.bDirty, 0);
    EXPECT_FALSE(main.IsCommandEnabled(CM_FILESAVE));
    main.EvCommand(CM_UNDO);
    EXPECT_EQ(doc.GetLength(), 4000);
    EXPECT_EQ(doc.bDirty, 0) << "the step was taken on a clean document";
    EXPECT_EQ(doc.sSelStart, 0);
    EXPECT_EQ(doc.sSelEnd, 1000);
}

TEST_F(MainDialogTest, DocumentsAreOpenedOnceAndNumbered)
{
    std::string strPath = MakeRampWav(dir, "a.wav", 8000, 2, 100);
    LOVFile& doc = Open(strPath);
    main.EvCommand(CM_FILENEW);
    EXPECT_NE(main.GetCurrentFile(), &doc);
    EXPECT_TRUE(main.LoadFile(dir.File("A.WAV"), false, false))
        << "paths compare without regard to case";
    EXPECT_EQ(main.GetCurrentFile(), &doc);
    EXPECT_EQ(main.GetNoFiles(), 2);
    EXPECT_EQ(doc.GetDisplayName(), "a.wav");

    EXPECT_FALSE(main.LoadFile(dir.File("missing.wav"), false, false));
    EXPECT_EQ(main.GetNoFiles(), 2);
    ASSERT_EQ(ui.messages.size(), 1u);

    main.EvCommand(CM_CLOSEALL);
    for (int i = 1; i <= 20; ++i) {
        main.EvCommand(CM_FILENEW);
        EXPECT_EQ(main.GetCurrentFile()->iUntitledIdx, i <= 19 ? i : 1);
    }
    EXPECT_EQ(main.GetCurrentFile()->GetDisplayName(), "Untitled 1");
}

TEST_F(MainDialogTest, NewFileDialogAcceptsOnlyRatesInRange)
{
    LSettings::Get().SetBool("Settings", "PromptSampleAndChannels", true);
    for (int32_t iBad : { 5999, 96001 })
        ui.AnswerDialog("New File",
            [iBad](LDialogValues& v) { return v.Set("SelectedSampleRate", iBad), true; });
    ui.AnswerDialog("New File", [](LDialogValues& v) {
        v.Set("SelectedSampleRate", 96000);
        v.Set("SelectedChannels", 2);
        return true;
    });
    main.EvCommand(CM_FILENEW);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], "Sample rates must be between 6000 and 96000 samples per second.");
    ASSERT_NE(main.GetCurrentFile(), nullptr);
    EXPECT_EQ(main.GetCurrentFile()->claAudio.GetSampleRate(), 96000);
    EXPECT_EQ(main.GetCurrentFile()->claAudio.GetChannels(), 2);
    EXPECT_EQ(LSettings::Get().GetInt("Settings", "SelectedSampleRate", 0), 96000);
    main.EvCommand(CM_FILENEW); // no answer queued: Cancel
    EXPECT_EQ(main.GetNoFiles(), 1);
}

TEST_F(MainDialogTest, SelectionRulesOfCutPasteAndCopyToNew)
{
    LOVFile& doc = Open(MakeRampWav(dir, "a.wav", 8000, 1, 8000));
    std::vector<int32_t> all = Samples(doc.claAudio);
    main.ModifySelection(500, 500, 500);
    main.EvCommand(CM_CUT);
    EXPECT_EQ(doc.GetLength(), 8000) << "an empty selection cuts nothing";
    EXPECT_TRUE(doc.GetUndoName().empty());

    // Paste with an empty clipboard is disabled: the selection stays.
    main.ModifySelection(1000, 2000, 0);
    main.EvCommand(CM_PASTE);
    EXPECT_EQ(doc.GetLength(), 8000);
    EXPECT_TRUE(doc.GetUndoName().empty());

    main.ModifySelection(1000, 3000, 0);
    main.EvCommand(CM_CUT);
    EXPECT_EQ(doc.sSelStart, 1000);
    EXPECT_EQ(doc.sSelEnd, 1000);
    EXPECT_EQ(doc.sPosition, 0) << "played from a second before the cut";
    EXPECT_EQ(playback.plays.back(), 0);
    EXPECT_EQ(main.GetClipboard().GetTotalLength(), 2000);
    main.ModifySelection(0, 0, 0);
    main.EvCommand(CM_PASTE);
    EXPECT_EQ(doc.sSelEnd, 2000);
    std::vector<int32_t> now = Samples(doc.claAudio);
    EXPECT_TRUE(std::equal(now.begin(), now.begin() + 2000, all.begin() + 1000));

    main.ModifySelection(1000, 1100, 0);
    main.EvCommand(CM_COPYTONEW);
    LOVFile& copy = *main.GetCurrentFile();
    ASSERT_NE(&copy, &doc);
    EXPECT_EQ(copy.bDirty, 1);
    EXPECT_EQ(copy.sViewEnd, 100);
    EXPECT_EQ(Samples(copy.claAudio), std::vector<int32_t>(now.begin() + 1000, now.begin() + 1100));
    EXPECT_EQ(doc.GetUndoName(), "Paste") << "no step on the source";
}

TEST_F(MainDialogTest, PasteConvertsACopyOfTheClipboard)
{
    LOVFile& src = Open(MakeRampWav(dir, "stereo.wav", 22050, 2, 22050));
    main.EvCommand(CM_SELECTALL);
    main.EvCommand(CM_COPY);
    LOVFile& doc = Open(MakeRampWav(dir, "mono.wav", 44100, 1, 1000));
    ASSERT_NE(&src, &doc);
    main.ModifySelection(500, 500, 500);
    main.EvCommand(CM_PASTE);
    EXPECT_EQ(main.GetClipboard().GetSampleRate(), 22050);
    EXPECT_EQ(main.GetClipboard().GetChannels(), 2);
    EXPECT_EQ(doc.claAudio.GetChannels(), 1);
    EXPECT_NEAR(doc.GetLength(), 1000 + 44100, 2);
    EXPECT_EQ(doc.sSelStart, 500);
    EXPECT_EQ(doc.sSelEnd, doc.GetLength() - 500);
}

TEST_F(MainDialogTest, DialogValuesAreCheckedStoredAndCancelChangesNothing)
{
    LOVFile& doc = Open(MakeRampWav(dir, "a.wav", 8000, 1, 8000));
    main.ModifySelection(0, 4000, 0);
    ui.AnswerDialog("Amplify", [](LDialogValues& v) { return v.Set("AmplifyGain", 401), true; });
    ui.AnswerDialog("Amplify", [](LDialogValues& v) {
        EXPECT_EQ(v.Get("AmplifyGain"), 401) << "the dialog reopens with what was typed";
        return v.Set("AmplifyGain", 50), true;
    });
    std::vector<int32_t> before = Samples(doc.claAudio);
    main.EvCommand(CM_AMPLIFY);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Amplify Gain must be less than 400%. Please try again.");
    std::vector<int32_t> after = Samples(doc.claAudio);
    EXPECT_EQ(after[100], before[100] / 2);
    EXPECT_EQ(after[5000], before[5000]);
    EXPECT_EQ(LSettings::Get().GetInt("StoredValues", "AmplifyGain", 0), 50);

    // Cancelled dialog: no undo step, nothing changed.
    main.EvCommand(CM_AMPLIFY);
    EXPECT_EQ(doc.GetUndoName(), "Amplify");
    EXPECT_EQ(Samples(doc.claAudio), after);

    // A cancelled operation keeps its undo step and leaves the audio.
    LSilentProgressView::SetCancelAfterPumps(1);
    main.EvCommand(CM_FADEIN);
    LSilentProgressView::SetCancelAfterPumps(0);
    EXPECT_EQ(doc.GetUndoName(), "Fade In");
    EXPECT_EQ(Samples(doc.claAudio), after);
    LSettings::Get().Remove("StoredValues", "AmplifyGain");
}

TEST_F(MainDialogTest, SaveAsAsksBeforeReplacingAndFailuresKeepTheDocument)
{
    main.EvCommand(CM_FILENEW);
    LOVFile& doc = *main.GetCurrentFile();
    ui.AnswerDialog(
        "Insert Silence", [](LDialogValues& v) { return v.Set("SilenceTimes", 100), true; });
    main.EvCommand(CM_INSSILENCEBEGIN);
    std::string strTaken = MakeRampWav(dir, "taken.wav", 8000, 1, 10);
    ui.saveFiles = { strTaken, dir.File("new.wav") };
    ui.answers = { MainDialogUi::Answer::No };
    main.EvCommand(CM_FILESAVE); // untitled: Save As
    EXPECT_EQ(ui.iSaveDialogs, 2) << "No to the replace question shows the file dialog again";
    EXPECT_EQ(doc.szFilePath, dir.File("new.wav"));
    EXPECT_EQ(doc.bDirty, 0);

    // A save that fails restores the path and keeps the changes unsaved, and
    // closing then does not lose them.
    ui.AnswerDialog("Insert Silence", [](LDialogValues&) { return true; });
    main.EvCommand(CM_INSSILENCEBEGIN);
    ui.saveFiles = { dir.File("no/such/folder/x.wav") };
    main.EvCommand(CM_FILESAVEAS);
    EXPECT_EQ(doc.szFilePath, dir.File("new.wav"));
    EXPECT_EQ(doc.bDirty, 1);
    ui.answers = { MainDialogUi::Answer::No };
    main.EvCommand(CM_FILECLOSE);
    EXPECT_EQ(main.GetNoFiles(), 0);

    // Yes to "Save changes" on an untitled document whose Save As is
    // cancelled keeps it open.
    main.EvCommand(CM_FILENEW);
    ui.AnswerDialog("Insert Silence", [](LDialogValues&) { return true; });
    main.EvCommand(CM_INSSILENCEBEGIN);
    ui.answers = { MainDialogUi::Answer::Yes };
    ui.questions.clear();
    main.EvCommand(CM_FILECLOSE);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], "Save changes to \"Untitled 1\"?");
    EXPECT_EQ(main.GetNoFiles(), 1) << "the close waits for a save that worked";
    EXPECT_FALSE(main.CanClose()) << "the same on exit";
    ui.answers = { MainDialogUi::Answer::No };
    main.EvCommand(CM_FILECLOSE);
    EXPECT_EQ(main.GetNoFiles(), 0);
}

TEST_F(MainDialogTest, EditsOnTenHoursReadNoAudio)
{
    LOVFile& doc = Open(MakeRampWav(dir, "second.wav", 44100, 1, 44100));
    // Ten hours from one second of audio: the list names the same cut file
    // again and again.
    doc.claAudio.EfRepeat(0, 44100, 36000 - 1);
    ASSERT_EQ(doc.GetLength(), 44100 * 36000);
    main.SetZoomToFull();

    const int64_t iRead = LFile::GetBytesRead();
    const int32_t iLength = doc.GetLength();
    uint32_t uSeed = 12345;
    auto Random = [&uSeed](int32_t n) {
        return int32_t((uSeed = uSeed * 1664525u + 1013904223u) % uint32_t(n));
    };
    for (int i = 0; i < 40; ++i) {
        int32_t a = Random(doc.GetLength() - 10), b = a + 1 + Random(44100 * 60);
        main.ModifySelection(a, std::min(b, doc.GetLength()), 0);
        main.EvCommand(i % 3 == 0 ? CM_CUT : i % 3 == 1 ? CM_DELETE : CM_PASTE);
    }
    for (int i = 0; i < 8; ++i)
        main.EvCommand(CM_UNDO);
    EXPECT_EQ(LFile::GetBytesRead(), iRead) << "no edit and no undo read audio";
    EXPECT_NE(doc.GetLength(), iLength) << "the 32 edits before the last eight stay";
}

namespace {
// What a command did: its undo name, the length change and the selection
// and position afterwards.
struct CommandCase {
    int iId;
    const char* szUndo;
    int32_t iSelStart, iSelEnd; // before
    int32_t iLengthAfter;
    int32_t iSelStartAfter, iSelEndAfter, iPositionAfter;
};
} // namespace

TEST_F(MainDialogTest, CommandTableUndoNamesSelectionAndPosition)
{
    const int32_t L = 16000; // two seconds at 8000 Hz
    // Position afterwards is before the pre-roll moved it for playback,
    // which these cases switch off.
    LSettings::Get().SetBool("Settings", "AutoPlaybackAfterEffects", false);
    // The effects' and edits' samples are their own tests'; here the wiring.
    const std::string strClip = MakeRampWav(dir, "clip.wav", 8000, 1, 4000);
    ui.openFiles = { { strClip }, { strClip } };
    ui.AnswerDialog(
        "Repeat Loop", [](LDialogValues& v) { return v.Set("RepeatNumTimes", 2), true; });
    ui.AnswerDialog(
        "Normalize", [](LDialogValues& v) { return v.Set("NormalizePeakLevel", 50), true; });
    ui.AnswerDialog(
        "Insert Silence", [](LDialogValues& v) { return v.Set("SilenceTimes", 1500), true; });
    ui.AnswerDialog("Mix File", [](LDialogValues& v) {
        v.Set("PasteMixVolume", 100);
        return v.Set("LongerSelection", 1), true; // the selection grows to the clip
    });
    ui.AnswerDialog(
        "Convert Sample Rate", [](LDialogValues& v) { return v.Set("SampleRate", 16000), true; });
    ui.AnswerDialog("Constant Pitch and Speed Change",
        [](LDialogValues& v) { return v.Set("ConstPitchSpeed", 50), true; });
    for (CommandCase c :
        {
            CommandCase { CM_DELETE, "Delete", 1000, 3000, L - 2000, 1000, 1000, 1000 },
            CommandCase { CM_TRIM, "Trim", 1000, 3000, 2000, 0, 0, 0 },
            CommandCase { CM_TRIMSTART, "Trim Start", 1000, 3000, L - 1000, 0, 2000, 0 },
            CommandCase { CM_TRIMSTART, "Trim Start", 600, 600, L - 600, 0, 0, 0 },
            CommandCase { CM_TRIMEND, "Trim End", 1000, 3000, 3000, 1000, 3000, 0 },
            CommandCase { CM_TRIMEND, "Trim End", 7000, 7000, 7000, 7000, 7000, 0 },
            CommandCase { CM_SILENCE, "Edit Silence", 1000, 3000, L, 1000, 3000, 1000 },
            CommandCase { CM_REPEATLOOP, "Repeat Loop", 1000, 3000, L + 4000, 1000, 3000, 1000 },
            CommandCase { CM_NORMALIZE, "Normalize", 1000, 3000, L, 1000, 3000, 1000 },
            CommandCase { CM_REVERSE, "Reverse", 1000, 3000, L, 1000, 3000, 1000 },
            CommandCase { CM_FADEOUTTRIM, "Fade Out and Trim", 1000, 3000, 3000, 1000, 3000, 1000 },
            CommandCase { CM_DCOFFSET, "DC Offset Correction", 1000, 3000, L, 1000, 3000, 1000 },
            CommandCase { CM_CONVERTSTEREO, "Convert Channels", 1000, 3000, L, 1000, 3000, 0 },
            // The selection keeps its times at the new rate.
            CommandCase { CM_CONVERTRATE, "Convert Sample Rate", 1000, 3000, 2 * L, 2000, 6000, 0 },
            CommandCase { CM_INSSILENCEEND, "Insert Silence At The End", 1000, 3000, L + 12000,
                1000, 3000, 1000 },
            CommandCase { CM_INSFILECURRENT, "Insert File At Current Position", 1000, 3000,
                L + 4000, 1000, 3000, 1000 },
            CommandCase { CM_MIXFILE, "Mix File", 1000, 3000, L, 1000, 5000, 1000 },
            CommandCase { CM_PITCHSPEED, "Constant Pitch and Speed Change", 1000, 3000, L + 2000,
                1000, 5000, 1000 },
            // Its step comes before the dialog: cancelled, it stays and changes nothing.
            CommandCase {
                CM_SPEEDPITCH, "Simple Speed and Pitch Change", 1000, 3000, L, 1000, 3000, 0 },
        }) {
        LOVFile& doc = Open(MakeRampWav(dir, std::to_string(c.iId) + ".wav", 8000, 1, L));
        main.ModifySelection(c.iSelStart, c.iSelEnd, 0);
        main.EvCommand(c.iId);
        SCOPED_TRACE(c.szUndo);
        EXPECT_EQ(doc.GetUndoName(), c.szUndo);
        EXPECT_EQ(ui.menu[CM_UNDO].first, std::string("Undo ") + c.szUndo + "\tCtrl+Z");
        EXPECT_EQ(doc.bDirty, 1);
        EXPECT_EQ(doc.GetLength(), c.iLengthAfter);
        EXPECT_EQ(doc.sSelStart, c.iSelStartAfter);
        EXPECT_EQ(doc.sSelEnd, c.iSelEndAfter);
        EXPECT_EQ(doc.sPosition, c.iPositionAfter);
        EXPECT_LE(doc.sViewEnd, doc.GetLength());
        main.EvCommand(CM_UNDO);
        EXPECT_EQ(doc.GetLength(), L);
        EXPECT_EQ(doc.bDirty, 0);
        EXPECT_EQ(doc.claAudio.GetChannels(), 1);
        // Commands that need a selection do nothing without one.
        if (main.GetCommands().Find(c.iId)->uFlags & kCmdSelection) {
            main.ModifySelection(500, 500, 500);
            main.EvCommand(c.iId);
            EXPECT_TRUE(doc.GetUndoName().empty());
        }
        main.EvCommand(CM_FILECLOSE);
    }
    // Insert File goes in at the position, Insert Silence At The End after the audio.
    ui.openFiles = { { strClip } };
    ui.AnswerDialog(
        "Insert Silence", [](LDialogValues& v) { return v.Set("SilenceTimes", 100), true; });
    LOVFile& doc = Open(MakeRampWav(dir, "insert.wav", 8000, 1, L));
    main.ModifySelection(100, 200, 1000);
    main.EvCommand(CM_INSFILECURRENT);
    main.EvCommand(CM_INSSILENCEEND);
    const std::vector<int32_t> v = Samples(doc.claAudio);
    EXPECT_EQ(v[1000], (0 - 10000) * 16) << "the clip's first frame";
    EXPECT_EQ(v[L + 4000 - 1], (L - 1 - 10000) * 16) << "the document's last frame";
    EXPECT_EQ(v.size(), size_t(L + 4000 + 800));
    EXPECT_EQ(v.back(), 0);
}

TEST_F(MainDialogTest, CloseAllStopsAtCancel)
{
    main.EvCommand(CM_FILENEW);
    main.EvCommand(CM_INSSILENCEEND); // cancelled: its step comes after the dialog
    EXPECT_TRUE(main.GetCurrentFile()->GetUndoName().empty());
    main.EvCommand(CM_FILECLOSE);
    for (int i = 0; i < 3; ++i) {
        main.EvCommand(CM_FILENEW);
        ui.AnswerDialog(
            "Insert Silence", [](LDialogValues& v) { return v.Set("SilenceTimes", 10), true; });
        main.EvCommand(CM_INSSILENCEEND);
    }
    ui.answers = { MainDialogUi::Answer::No, MainDialogUi::Answer::Cancel };
    main.EvCommand(CM_CLOSEALL);
    EXPECT_EQ(main.GetNoFiles(), 2) << "the first closed, the Cancel kept the rest";
    EXPECT_EQ(ui.questions.size(), 2u);
    ui.answers = { MainDialogUi::Answer::No, MainDialogUi::Answer::No };
    main.EvCommand(CM_CLOSEALL);
    EXPECT_EQ(main.GetNoFiles(), 0);
    EXPECT_EQ(main.GetCurrentFile(), nullptr);
    EXPECT_FALSE(main.IsCommandEnabled(CM_CUT));
}

TEST_F(MainDialogTest, OpenedFilesPlayAndNewFilesTakeTheDefaultsAsSet)
{
    const std::string strPath = MakeRampWav(dir, "a.wav", 8000, 1, 100);
    const struct {
        bool bPlayWhenOpen;
        int iRate, iChannels;
    } cases[] = { { true, 22050, 2 }, { false, 8000, 1 } };
    for (const auto& c : cases) {
        LSettings::Get().SetBool("Settings", "PlayWhenOpen", c.bPlayWhenOpen);
        LSettings::Get().SetInt("Settings", "DefaultSampleRate", c.iRate);
        LSettings::Get().SetInt("Settings", "DefaultChannels", c.iChannels);
        playback.playCommands.clear();
        main.EvCommand(CM_CLOSEALL);
        main.EvCommand(CM_FILENEW);
        EXPECT_EQ(main.GetCurrentFile()->claAudio.GetSampleRate(), c.iRate);
        EXPECT_EQ(main.GetCurrentFile()->claAudio.GetChannels(), c.iChannels);
        Open(strPath);
        // Opening an open file again only makes it current.
        Open(strPath);
        EXPECT_EQ(playback.playCommands,
            c.bPlayWhenOpen ? std::vector<std::string> { "a.wav" } : std::vector<std::string> {});
    }
    for (const char* sz : { "DefaultSampleRate", "DefaultChannels" })
        LSettings::Get().Remove("Settings", sz);
    LSettings::Get().SetBool("Settings", "PlayWhenOpen", false); // as every test starts
}

// Record puts the takes in place of the selection as one undo step; a
// dialog closed without a take changes nothing.
TEST_F(MainDialogTest, RecordReplacesTheSelectionOrChangesNothing)
{
    LOVFile& doc = Open(MakeRampWav(dir, "a.wav", 8000, 1, 8000));
    const std::vector<int32_t> before = Samples(doc.claAudio);
    main.ModifySelection(1000, 3000, 1000);
    ui.fnRecord = [](LOVRecordInfo&) { return 1; };
    main.EvCommand(CM_RECORD);
    EXPECT_TRUE(Samples(doc.claAudio) == before);
    EXPECT_EQ(doc.bDirty, 0);
    EXPECT_FALSE(main.IsCommandEnabled(CM_UNDO)) << "no undo step";
    EXPECT_EQ(playback.iStops, 1);

    ui.fnRecord = [](LOVRecordInfo& t) {
        SinkHandle h = t.OpenSink(0);
        std::vector<int32_t> v(500, 7 * 16);
        h->Write(v.data(), 500);
        return 1;
    };
    main.EvCommand(CM_RECORD);
    ASSERT_EQ(doc.GetLength(), 8000 - 2000 + 500);
    std::vector<int32_t> after = Samples(doc.claAudio);
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 1000, before.begin()));
    EXPECT_TRUE(std::all_of(
        after.begin() + 1000, after.begin() + 1500, [](int32_t s) { return s == 7 * 16; }));
    EXPECT_TRUE(std::equal(after.begin() + 1500, after.end(), before.begin() + 3000));
    EXPECT_EQ(doc.sSelStart, 1000);
    EXPECT_EQ(doc.sSelEnd, 1500);
    EXPECT_EQ(doc.sPosition, 1000);
    EXPECT_EQ(ui.menu[CM_UNDO].first, "Undo Record\tCtrl+Z");
    EXPECT_TRUE(playback.plays.empty()) << "from the menu nothing plays";
    main.EvCommand(CM_UNDO);
    EXPECT_TRUE(Samples(doc.claAudio) == before);

    main.RecordFromKey();
    ASSERT_EQ(playback.plays.size(), 1u) << "from its key the take plays";
    EXPECT_EQ(playback.plays[0], 1000);
}

TEST_F(MainDialogTest, RecordWithoutADocumentMakesOneAndRecordNextAnother)
{
    int iDialogs = 0;
    ui.fnRecord = [&](LOVRecordInfo& t) {
        SinkHandle h = t.OpenSink(0);
        std::vector<int32_t> v(size_t(t.GetRate()) / 10, 0);
        h->Write(v.data(), int32_t(v.size()));
        return ++iDialogs < 2 ? 2 : 1;
    };
    main.EvCommand(CM_RECORD);
    EXPECT_EQ(iDialogs, 2);
    ASSERT_EQ(main.GetNoFiles(), 2);
    for (const auto& p : main.GetFiles())
        EXPECT_EQ(p->GetLength(), 4410);
}
