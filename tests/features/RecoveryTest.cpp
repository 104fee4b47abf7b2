#include "audio/LSoundTime.h"
#include "edit/LAudioCutTank.h"
#include "engine/LSoundRecorder.h"
#include "features/FeaturesTestSupport.h"
#include "features/LRecoveryJournal.h"
#include "platform/LFolders.h"
#include "platform/sound/LSoundDevices.h"
#include "support/RecordGateTake.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
// The edits of the session that crashes, repeated to know what must come back.
void Edit(MainDialog& main)
{
    main.ModifySelection(1000, 3000, 1000);
    main.EvCommand(CM_CUT);
    main.ModifySelection(5000, 5000, 5000);
    main.EvCommand(CM_PASTE);
    main.ModifySelection(0, 500, 0);
    main.EvCommand(CM_SILENCE);
}

// Runs this program again as the editor session szChild; returns once it died.
void CrashingSession(const std::string& strData, const std::string& strWav, const char* szChild)
{
    pid_t pid = fork();
    if (pid == 0) {
        setenv("ORVENNA_CRASH_DATA", strData.c_str(), 1);
        setenv("ORVENNA_CRASH_WAV", strWav.c_str(), 1);
        execl("/proc/self/exe", "test_features",
            (std::string("--gtest_filter=RecoveryChild.") + szChild).c_str(), nullptr);
        _exit(127);
    }
    int iStatus = 0;
    waitpid(pid, &iStatus, 0);
    std::error_code ec; // the killed program's own test folder
    fs::remove_all(fs::temp_directory_path() / ("orvenna-env-" + std::to_string(pid)), ec);
    ASSERT_TRUE(WIFSIGNALED(iStatus) && WTERMSIG(iStatus) == SIGKILL) << "status " << iStatus;
}

struct InData {
    explicit InData(const std::string& s)
        : strOld(getenv("XDG_DATA_HOME"))
    {
        setenv("XDG_DATA_HOME", s.c_str(), 1);
    }
    ~InData() { setenv("XDG_DATA_HOME", strOld.c_str(), 1); }
    std::string strOld;
};
} // namespace

// The session that crashes: runs only when started by the test below.
TEST(RecoveryChild, EditsAndIsKilled)
{
    const char* szData = getenv("ORVENNA_CRASH_DATA");
    if (!szData)
        GTEST_SKIP() << "started by RecoveryTest only";
    setenv("XDG_DATA_HOME", szData, 1);
    Editor e;
    LRecoveryJournal journal(e.main.GetFiles(), &e.project.GetBookMarks());
    e.main.AddListener(journal);
    ASSERT_TRUE(e.main.LoadFile(getenv("ORVENNA_CRASH_WAV"), false, false));
    e.project.GetBookMarks().Append({ "kept", "a.wav", 500, 3, 77 });
    Edit(e.main);
    e.main.EvCommand(CM_FILENEW); // an empty untitled document, dirty
    e.main.GetCurrentFile()->bDirty = 1;
    journal.Write();
    raise(SIGKILL);
}

TEST(RecoveryTest, KilledSessionComesBackSampleForSample)
{
    TempDir dir, data;
    const std::string strWav = MakeRampWav(dir, "a.wav", 8000, 2, 20000, 7);
    CrashingSession(data.Path(), strWav, "EditsAndIsKilled");
    Editor expected;
    ASSERT_TRUE(expected.main.LoadFile(strWav, false, false));
    Edit(expected.main);

    InData in(data.Path());
    std::vector<LRecoverySet> sets = LRecovery::Find();
    ASSERT_EQ(sets.size(), 1u);
    ASSERT_EQ(sets[0].docs.size(), 2u);
    const LRecoveredDocument& d = sets[0].docs[0];
    EXPECT_EQ(std::tie(d.strName, sets[0].docs[1].strName, d.iFrames),
        std::make_tuple(std::string("a.wav"), std::string("Untitled 1"), int64_t(20000)));
    ASSERT_EQ(d.marks.size(), 1u) << "bookmarks come back with their document";
    EXPECT_EQ(std::tie(d.marks[0].szName, d.marks[0].iPosition, d.marks[0].bTimesVisited),
        std::make_tuple(std::string("kept"), 250, uint8_t(3)))
        << "moved back by the cut";
    std::string strProblem;
    std::unique_ptr<LOVFile> pDoc = LRecovery::Take(sets[0], d, strProblem);
    EXPECT_EQ(strProblem, "");
    EXPECT_EQ(std::tie(pDoc->szFilePath, pDoc->bDirty, pDoc->sSelEnd),
        std::make_tuple(strWav, decltype(pDoc->bDirty)(1), 500));
    // Once handled the folder is gone; the document's cut files are this process's.
    LRecovery::Discard(sets[0]);
    EXPECT_TRUE(LRecovery::Find().empty());
    EXPECT_FALSE(fs::exists(sets[0].strFolder));
    EXPECT_EQ(Samples(pDoc->claAudio), Samples(expected.main.GetCurrentFile()->claAudio));
}

TEST(RecoveryTest, DamagedJournalsRecoverWhatTheyCanAndNeverBlock)
{
    TempDir data;
    InData in(data.Path());
    // pid 2147483632 cannot be running.
    const std::string strParent = LFolders::GetWorkingFolder();
    struct Case {
        const char* szWhat;
        std::string strJournal;
        size_t iDocs;
        bool bProblem;
        std::string strTakeProblem;
    } cases[] = {
        { "garbage", "\x01\x02 not a journal", 0, true, "" },
        { "missing cut file", "orvenna-journal 1\ndoc x78 x 8000 1 0 0 0\ncut 7 100 16777216 0\n",
            1, false, "1 part(s) of \"x\" could not be recovered and are silence." },
        { "bad line and bad format",
            "orvenna-journal 1\ndoc x78 x 0 3 0 0 0\ndoc x79 x 8000 1 0 0 0\ncut 1 -5 0 0\nzzz\n",
            1, true, "" },
    };
    for (const Case& c : cases) {
        std::string strFolder = strParent + "/orvenna-2147483632";
        fs::create_directories(strFolder);
        ASSERT_TRUE(WriteAll(strFolder + "/journal",
            std::vector<uint8_t>(c.strJournal.begin(), c.strJournal.end())));
        std::vector<LRecoverySet> sets = LRecovery::Find();
        ASSERT_EQ(sets.size(), 1u) << c.szWhat;
        EXPECT_EQ(sets[0].docs.size(), c.iDocs) << c.szWhat;
        EXPECT_EQ(!sets[0].strProblem.empty(), c.bProblem) << c.szWhat;
        for (const LRecoveredDocument& d : sets[0].docs) {
            std::string strProblem;
            std::unique_ptr<LOVFile> p = LRecovery::Take(sets[0], d, strProblem);
            EXPECT_EQ(strProblem, c.strTakeProblem) << c.szWhat;
            EXPECT_EQ(Samples(p->claAudio), std::vector<int32_t>(size_t(d.iFrames), 0));
        }
        LRecovery::Discard(sets[0]);
    }
}

namespace {
constexpr int32_t kRecRate = 8000, kRecBuf = kRecRate / 10;

// The recorder's take of the ramp file's first iFrames from the null input.
std::vector<int32_t> TakeOfRamp(int32_t iFrames)
{
    std::vector<int16_t> in(size_t(iFrames + kRecBuf));
    for (size_t f = 0; f < in.size(); ++f)
        in[f] = int16_t(int32_t(f % 20000) - 10000);
    std::vector<int32_t> v
        = GateTake(in, kRecRate, 1, kRecBuf, { 0, -127, 216000000, LRecordGate::kRecording });
    v.resize(size_t(iFrames));
    return v;
}
} // namespace

// Killed while recording: a first take kept, the second dies right after a
// journal point that is not its first; the frame counts go to a file.
TEST(RecoveryChild, RecordsAndIsKilled)
{
    const char* szData = getenv("ORVENNA_CRASH_DATA");
    if (!szData)
        GTEST_SKIP() << "started by RecoveryTest only";
    setenv("XDG_DATA_HOME", szData, 1);
    setenv("ORVENNA_NULL_DEVICE_INPUT", getenv("ORVENNA_CRASH_WAV"), 1);
    Editor e;
    LRecoveryJournal journal(e.main.GetFiles(), &e.project.GetBookMarks());
    e.main.AddListener(journal);
    ASSERT_TRUE(e.main.LoadFile(getenv("ORVENNA_CRASH_WAV"), false, false));
    e.main.ModifySelection(1000, 3000, 1000);
    e.ui.fnRecord = [&](LOVRecordInfo& target) {
        // What the record dialog does with the recorder's notices.
        struct Forward : LSoundRecorderNotify {
            void srntfPosition(int32_t, uintptr_t) override
            {
                target->TakeProgress(pRecorder->GetFramesWritten());
            }
            void srntfStop(uintptr_t) override { target->TakeProgress(-1); }
            LOVRecordInfo* target;
            LSoundRecorder* pRecorder;
            int32_t iFirst = -1;
        } forward;
        LSoundRecorder recorder;
        forward.target = &target;
        target.fnProgress = [&, fnJournal = target.fnProgress] {
            fnJournal();
            const int32_t iSecond = target.GetSoFar().GetTotalLength() - forward.iFirst;
            if (forward.iFirst >= 0 && iSecond >= 4 * kRecBuf) {
                std::ofstream(std::string(getenv("ORVENNA_CRASH_DATA")) + "/frames")
                    << forward.iFirst << ' ' << iSecond;
                raise(SIGKILL);
            }
        };
        forward.pRecorder = &recorder;
        recorder.SetNotify(&forward, 0);
        recorder.SetDevice(LWaveIn::FindDevice(LSoundDevices::kNullName));
        EXPECT_TRUE(recorder.Start(
            target.OpenSink(0), 0, -127, 216000000, LSoundRecorder::kStartRecording));
        PumpEvents([&] { return recorder.GetFramesWritten() >= 3 * kRecBuf; });
        recorder.Stop();
        forward.iFirst = target.GetRecording().GetTotalLength();
        EXPECT_TRUE(
            recorder.Start(target.OpenSink(LSoundTime::FramesToMs(forward.iFirst, kRecRate)), 0,
                -127, 216000000, LSoundRecorder::kStartRecording));
        PumpEvents([] { return false; }, 10000);
        return 0;
    };
    e.main.EvCommand(CM_RECORD);
    FAIL() << "the session was not killed";
}

TEST(RecoveryTest, KilledWhileRecordingKeepsTheTakeUpToItsLastBuffer)
{
    TempDir dir, data;
    const std::string strWav = MakeRampWav(dir, "a.wav", kRecRate, 1, 20000);
    CrashingSession(data.Path(), strWav, "RecordsAndIsKilled");
    int32_t iFirst = 0, iSecond = 0;
    std::ifstream(data.File("frames")) >> iFirst >> iSecond;
    ASSERT_GT(iFirst, 0);
    ASSERT_GE(iSecond, kRecRate + kRecBuf) << "the journal hears of a take once per second of it";
    InData in(data.Path());
    std::vector<LRecoverySet> sets = LRecovery::Find();
    ASSERT_EQ(sets.size(), 1u);
    ASSERT_EQ(sets[0].docs.size(), 1u) << "the document recorded into, clean before";
    const LRecoveredDocument& d = sets[0].docs[0];
    EXPECT_EQ(d.iFrames, 20000 - 2000 + iFirst + iSecond);
    EXPECT_EQ(d.iSelStart, 1000);
    EXPECT_EQ(d.iSelEnd, 1000 + iFirst + iSecond) << "the recording is selected";
    std::string strProblem;
    std::unique_ptr<LOVFile> pDoc = LRecovery::Take(sets[0], d, strProblem);
    EXPECT_EQ(strProblem, "");
    // The file around both takes, each from the start of the input.
    Editor original;
    ASSERT_TRUE(original.main.LoadFile(strWav, false, false));
    std::vector<int32_t> expect = Samples(original.main.GetCurrentFile()->claAudio);
    std::vector<int32_t> takes = TakeOfRamp(iFirst), second = TakeOfRamp(iSecond);
    takes.insert(takes.end(), second.begin(), second.end());
    expect.erase(expect.begin() + 1000, expect.begin() + 3000);
    expect.insert(expect.begin() + 1000, takes.begin(), takes.end());
    EXPECT_TRUE(Samples(pDoc->claAudio) == expect);
    for (const LAudioCut& c : pDoc->claAudio.GetCuts())
        EXPECT_GE(fs::file_size(LAudioCutTank::Get().GetGrfFilePath(c.wCut)),
            uintmax_t(c.iOffset + c.iLength) / 256 * 2)
            << "the waveform's graph covers the take";
    LRecovery::Discard(sets[0]);
}
