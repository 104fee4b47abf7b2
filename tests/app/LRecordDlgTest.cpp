#include "app/LRecordDlg.h"

#include "ModalScript.h"
#include "app/LDBEdit.h"
#include "app/LMDIMainWindow.h"
#include "app/LRecordDlgAdvanced.h"
#include "app/LWaveWindow.h"
#include "audio/LWaveFile.h"
#include "edit/LSRCCutListAudio.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"
#include "platform/qt/LQtUiDispatcher.h"
#include "platform/sound/LWaveIn.h"
#include "platform/sound/LWaveOut.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest/QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {
std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    return TestSupport::ReadFrames(src, list.GetTotalLength());
}

// The null devices, the null input reading a ramp (so takes can be told
// apart by their samples), and no trim: every captured frame is kept.
class LRecordDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        LUiDispatcher::SetCurrent(&dispatcher);
        LSettings& s = LSettings::Get();
        s.SetInt("Player", "Device", LWaveOut::FindDevice("null"));
        s.SetInt("Recorder", "Device", LWaveIn::FindDevice("null"));
        s.SetBool("Recorder", "Autotrim", false);
        std::string strWav = dir.File("in.wav");
        SinkHandle h = LWaveFile::OpenSinkPCM(strWav, 8000, 1, 16, 0);
        std::vector<int32_t> v(8000 * 5);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = int32_t(i % 20000) * 16 + 16; // rises through every take
        h->Write(v.data(), int32_t(v.size()));
        h.Reset();
        setenv("ORVENNA_NULL_DEVICE_INPUT", strWav.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("ORVENNA_NULL_DEVICE_INPUT");
        LSettings::Get().Remove("Recorder", "Autotrim");
        LUiDispatcher::SetCurrent(nullptr);
    }
    // Records until the take holds iMs, then stops it with Esc.
    static void TakeFor(LRecordDlg& dlg, int32_t iMs)
    {
        QTRY_VERIFY_WITH_TIMEOUT(dlg.IsRecording() && dlg.GetRecorder().GetTimeMs() >= iMs, 5000);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_FALSE(dlg.IsRecording());
    }
    static QString Tips(LRecordDlg& d)
    {
        QString s;
        for (int i : { LPlayerBaseDlg::kStart, LPlayerBaseDlg::kForward, LPlayerBaseDlg::kEnd })
            s += d.GetButton(i)->toolTip() + ";";
        return s;
    }

    TestSupport::TempDir dir;
    LQtUiDispatcher dispatcher;
};
} // namespace

// The keys and buttons reach the takes (what each take keeps is the
// engine's to test): Record, F8 at the end, Re-Take (F7), Restart (F6),
// Record Next. The strip follows a take while it is recorded.
TEST_F(LRecordDlgTest, KeysAndButtonsRunTheTakes)
{
    LOVRecordInfo target(8000, 1);
    LRecordSource source(target);
    LRecordDlg dlg(source);
    EXPECT_EQ(Tips(dlg), "Go to Start (Home);Forward (->);Go to End (End);");
    dlg.show();
    ASSERT_TRUE(dlg.IsRecording()) << "recording starts when the dialog opens";
    QTRY_COMPARE_WITH_TIMEOUT(
        Tips(dlg), QString("Restart (F6);Re-Take (F7);Record Next (F5);"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetStrip().IsRunning(), 5000);
    EXPECT_TRUE(dlg.IsRecording()) << "the strip shows the take while it grows";
    TakeFor(dlg, 1200);
    EXPECT_EQ(Tips(dlg), "Go to Start (Home);Forward (->);Go to End (End);");
    const size_t uFirst = Samples(target.GetRecording()).size();
    EXPECT_EQ(dlg.GetPositionMs(), int32_t(uFirst / 8)) << "the position goes to the end";

    QTest::keyClick(&dlg, Qt::Key_F8);
    TakeFor(dlg, 200);
    ASSERT_GE(Samples(target.GetRecording()).size(), uFirst + 1600);
    QTest::keyClick(&dlg, Qt::Key_F7); // the second take again, from the input's start
    TakeFor(dlg, 100);
    std::vector<int32_t> retaken = Samples(target.GetRecording());
    ASSERT_GT(retaken.size(), uFirst);
    EXPECT_EQ(retaken[uFirst], 16);
    QTest::keyClick(&dlg, Qt::Key_F6); // Restart: from 0
    TakeFor(dlg, 100);
    EXPECT_LT(Samples(target.GetRecording()).size(), uFirst);

    QTest::keyClick(&dlg, Qt::Key_F8);
    QTRY_VERIFY_WITH_TIMEOUT(dlg.IsRecording(), 3000);
    dlg.GetButton(LPlayerBaseDlg::kEnd)->click(); // Record Next while recording
    EXPECT_EQ(dlg.result(), LRecordDlg::kRecordNext);
    EXPECT_FALSE(dlg.IsRecording());
    EXPECT_EQ(LSettings::Get().GetInt("Recorder", "Device", -9), LWaveIn::FindDevice("null"));
}

TEST_F(LRecordDlgTest, AdvancedOptionsAreStoredAndReadBack)
{
    {
        LRecordDlgAdvanced box;
        box.GetAutoTrim().setChecked(true);
        box.GetVoice().setChecked(true);
        box.GetAutoTrim().setChecked(false);
        EXPECT_FALSE(box.GetVoice().isEnabled()) << "voice activation needs AutoTrim";
        box.GetThreshold().SetValue(-50);
        box.accept();
    }
    LSettings& s = LSettings::Get();
    EXPECT_EQ(s.GetString("Recorder", "Threshold"), "-40") << "the lowest threshold";
    LRecordDlgAdvanced again;
    EXPECT_FALSE(again.GetAutoTrim().isChecked());
    EXPECT_TRUE(again.GetVoice().isChecked());
    EXPECT_EQ(again.GetThreshold().GetValue(), -40);
    again.reject();
    s.Remove("Recorder", "Vor");
    s.Remove("Recorder", "Threshold");
}

// Through the main window the dialog's take replaces the selection (the
// rules of that are the engine's to test).
TEST_F(LRecordDlgTest, MainWindowRecordsIntoTheDocument)
{
    ModalScript script;
    LMDIMainWindow w;
    ASSERT_TRUE(w.GetController().LoadFile(
        TestSupport::MakeRampWav(dir, "doc.wav", 8000, 1, 8000, 0), false, false));
    LOVFile& doc = *w.GetController().GetCurrentFile();
    w.GetController().ModifySelection(2000, 6000, 2000);
    script.Then([](QDialog& d) {
        auto& dlg = dynamic_cast<LRecordDlg&>(d);
        dlg.show();
        TakeFor(dlg, 300);
        dlg.done(LRecordDlg::kClosed);
        return dlg.result();
    });
    w.Action(CM_RECORD)->trigger();
    const int32_t iTake = doc.sSelEnd - doc.sSelStart;
    EXPECT_GE(iTake, 2400);
    EXPECT_EQ(doc.GetLength(), 8000 - 4000 + iTake);
    EXPECT_EQ(Samples(doc.claAudio)[2000], 16) << "the take starts with the input";
    EXPECT_TRUE(script.AllUsed());
}

// The mixer button starts the desktop's record mixer: pavucontrol on its
// input tab, else alsamixer for capture in a terminal; without them it says
// so. Fake programs first on the path write down their arguments.
TEST_F(LRecordDlgTest, MixerButtonStartsTheDesktopMixerOrSaysThereIsNone)
{
    const std::string strPath = getenv("PATH");
    struct Case {
        std::vector<const char*> programs;
        const char* szStarted; // "": the message
        const char* szArgs;
    } cases[] = {
        { { "pavucontrol", "alsamixer", "xterm" }, "pavucontrol", "--tab=4\n" },
        { { "alsamixer", "xterm" }, "xterm", "-e\nalsamixer\n--view=capture\n" },
        { { "alsamixer" }, "", "" }, // no terminal to run it in
    };
    for (const Case& c : cases) {
        TestSupport::TempDir bin;
        for (const char* szProgram : c.programs) {
            const std::string strFile = bin.File(szProgram);
            std::ofstream(strFile) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n";
            std::filesystem::permissions(strFile, std::filesystem::perms::owner_all);
        }
        setenv("PATH", bin.Path().c_str(), 1);
        ModalScript script;
        if (!*c.szStarted)
            script.Then(ModalScript::Answer(QMessageBox::Ok));
        LOVRecordInfo target(8000, 1);
        LRecordSource source(target);
        LRecordDlg dlg(source);
        const std::string strArgs = bin.File(std::string(c.szStarted) + ".args");
        // A mixer of the case before may still run: the button waits for it.
        auto done
            = [&] { return *c.szStarted ? std::filesystem::exists(strArgs) : script.AllUsed(); };
        for (int i = 0; i < 500 && !done(); ++i) {
            dlg.GetMixerButton().click();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        setenv("PATH", strPath.c_str(), 1);
        if (*c.szStarted) {
            auto Args = [&] {
                const std::vector<uint8_t> v = TestSupport::ReadAll(strArgs);
                return QString::fromStdString(std::string(v.begin(), v.end()));
            };
            QTRY_COMPARE_WITH_TIMEOUT(Args(), QString(c.szArgs), 3000);
        } else {
            ASSERT_EQ(script.seen.size(), 1u);
            EXPECT_TRUE(script.seen[0].strText.startsWith("No record mixer was found"));
        }
    }
}
