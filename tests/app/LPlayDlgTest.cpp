#include "app/LPlayDlg.h"

#include "app/LDBDisplay.h"
#include "app/LWaveWindow.h"
#include "audio/LSRCNull.h"
#include "audio/LSoundTime.h"
#include "platform/LSettings.h"
#include "platform/qt/LQtUiDispatcher.h"
#include "platform/sound/LWaveOut.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {
// The test signal as a mono 8000 Hz source.
SourceHandle Signal(int32_t iFrames)
{
    auto v = std::make_shared<std::vector<int16_t>>(TestSupport::MakeSignal(iFrames, 1, 8000));
    return MakeHandle<TestSupport::FnSource>(
        8000, 1, iFrames, [v](int64_t f, int) { return (*v)[size_t(f)] * 16; });
}

class Provider : public LPlayerSource {
public:
    explicit Provider(int32_t iFrames, uint16_t wNewFlags = 0)
        : iLength(iFrames)
    {
        wFlags = wNewFlags;
        szName = "take one";
    }
    void OpenSource(SourceHandle& h) override
    {
        ++nOpens;
        h = iLength < 0 ? SourceHandle(new LSRCNull) : Signal(iLength);
    }
    int32_t iLength;
    int nOpens = 0;
};

class LPlayDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        LUiDispatcher::SetCurrent(&dispatcher);
        const int iNull = LWaveOut::FindDevice("null");
        ASSERT_GE(iNull, 0);
        LSettings::Get().SetInt("Player", "Device", iNull);
    }
    void TearDown() override { LUiDispatcher::SetCurrent(nullptr); }
    static bool Playing(LPlayerBaseDlg& d) { return d.GetPlayer().GetState() != 0; }

    LQtUiDispatcher dispatcher;
};
} // namespace

TEST_F(LPlayDlgTest, PlaysToTheEndAndShowsTheLength)
{
    Provider src(8000); // one second
    LPlayDlg dlg(src);
    EXPECT_EQ(dlg.GetLengthMs(), 1000);
    dlg.show();
    EXPECT_TRUE(Playing(dlg));
    EXPECT_TRUE(dlg.GetButton(LPlayerBaseDlg::kPlay)->isChecked());
    // The meter follows the sound while it plays.
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetLevels().GetLevel(0) > -60, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!Playing(dlg), 5000);
    EXPECT_EQ(dlg.GetPositionMs(), 1000);
    EXPECT_EQ(dlg.GetLevels().GetLevel(0), -127);
    EXPECT_FALSE(dlg.GetButton(LPlayerBaseDlg::kPlay)->isChecked());
    EXPECT_TRUE(dlg.isVisible()); // no close-after-play flag
}

TEST_F(LPlayDlgTest, StopHoldsThePositionAndPlayResumesThere)
{
    Provider src(80000); // ten seconds
    LPlayDlg dlg(src);
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetPositionMs() >= 300, 3000);
    dlg.GetButton(LPlayerBaseDlg::kStop)->click();
    EXPECT_FALSE(Playing(dlg));
    const int32_t iStopped = dlg.GetPositionMs();
    EXPECT_GE(iStopped, 300);
    QTest::qWait(200);
    EXPECT_EQ(dlg.GetPositionMs(), iStopped);
    EXPECT_EQ(dlg.GetLevels().GetLevel(0), -127);

    QTest::keyClick(&dlg, Qt::Key_F9);
    EXPECT_TRUE(Playing(dlg));
    EXPECT_GE(dlg.GetPlayer().GetPosition(), LSoundTime::MsToFrames(iStopped, 8000));
    QTest::keyClick(&dlg, Qt::Key_Escape); // stops, does not close
    EXPECT_FALSE(Playing(dlg));
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClick(&dlg, Qt::Key_Home);
    EXPECT_EQ(dlg.GetPositionMs(), 0);
    QTest::keyClick(&dlg, Qt::Key_End);
    EXPECT_EQ(dlg.GetPositionMs(), 10000);
}

TEST_F(LPlayDlgTest, PositionBarIsTheTruncatedPercentOfTheLength)
{
    Provider src(24000); // three seconds
    LPlayerBaseDlg dlg(src);
    for (auto [iMs, iBar, iShown] :
        { std::tuple { 2999, 99, 2999 }, { 3000, 100, 3000 }, { -40, 0, 0 } }) {
        dlg.UpdateTime(iMs);
        EXPECT_EQ(dlg.GetPosition().value(), iBar) << iMs;
        EXPECT_EQ(dlg.GetPositionMs(), iShown) << iMs;
    }
    dlg.UpdateTime(1000);
    EXPECT_EQ(dlg.GetTime().text(), "0:00:01.00");

    Provider empty(0);
    LPlayerBaseDlg none(empty);
    none.UpdateTime(500);
    EXPECT_EQ(none.GetPosition().value(), 0);
    EXPECT_EQ(none.GetPositionMs(), 500);
}

TEST_F(LPlayDlgTest, AltF9PlaysTheLastThreeSecondsFromNoEarlierThanZero)
{
    Provider shortSrc(16000); // two seconds
    LPlayerBaseDlg dlg(shortSrc);
    QTest::keyClick(&dlg, Qt::Key_F9, Qt::AltModifier);
    EXPECT_TRUE(Playing(dlg));
    EXPECT_EQ(dlg.GetPositionMs(), 0);
    dlg.CmStop();

    Provider longSrc(80000);
    LPlayerBaseDlg dlg10(longSrc);
    dlg10.CmPlayEnd();
    EXPECT_GE(dlg10.GetPlayer().GetPosition(), 7 * 8000);
    // Go to End while playing lands 1.5 s before the end.
    dlg10.CmEnd();
    EXPECT_EQ(dlg10.GetPositionMs(), 8500);
}

TEST_F(LPlayDlgTest, SourceInErrorIsNotPlayed)
{
    Provider broken(-1);
    LPlayDlg dlg(broken);
    dlg.show();
    EXPECT_FALSE(Playing(dlg));
    EXPECT_EQ(dlg.GetLengthMs(), 0);
    EXPECT_FALSE(dlg.GetButton(LPlayerBaseDlg::kPlay)->isChecked());
}

TEST_F(LPlayDlgTest, TrackFlagsEndTheDialogWithTheirResults)
{
    Provider next(80000, LPlayerSource::kNextTrack);
    LPlayDlg dNext(next);
    EXPECT_EQ(dNext.GetButton(LPlayerBaseDlg::kEnd)->toolTip(), "Next Track (PgDn)");
    dNext.show();
    dNext.GetButton(LPlayerBaseDlg::kEnd)->click();
    EXPECT_EQ(dNext.result(), LPlayDlg::kNextTrack);
    EXPECT_FALSE(dNext.isVisible());
    EXPECT_FALSE(Playing(dNext));

    Provider prev(80000, LPlayerSource::kPreviousTrack);
    LPlayDlg dPrev(prev);
    dPrev.show();
    dPrev.GetButton(LPlayerBaseDlg::kStart)->click(); // within the first second
    EXPECT_EQ(dPrev.result(), LPlayDlg::kPreviousTrack);

    // Without the flag PgUp does nothing and Home only goes to the start.
    Provider plain(80000);
    LPlayDlg dPlain(plain);
    dPlain.show();
    QTest::keyClick(&dPlain, Qt::Key_PageUp);
    QTest::keyClick(&dPlain, Qt::Key_PageDown);
    QTest::keyClick(&dPlain, Qt::Key_Home);
    EXPECT_TRUE(dPlain.isVisible());
    EXPECT_EQ(dPlain.GetPositionMs(), 0);
    QTest::keyClick(&dPlain, Qt::Key_Return);
    EXPECT_EQ(dPlain.result(), LPlayDlg::kClosed);
}

TEST_F(LPlayDlgTest, CloseAfterPlayWaitsAfterTheEnd)
{
    Provider src(2000, LPlayerSource::kCloseAfterPlay); // a quarter second
    LPlayDlg dlg(src);
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(!Playing(dlg), 5000);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.IsClosePending());
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 5000);
    EXPECT_EQ(dlg.result(), LPlayDlg::kClosed);
}

TEST_F(LPlayDlgTest, EditedNameAndSettingsAreStoredAtTheEnd)
{
    Provider src(8000);
    {
        LPlayerBaseDlg dlg(src);
        QLineEdit* pName = &dlg.GetName();
        ASSERT_NE(pName, nullptr);
        EXPECT_EQ(pName->text(), "take one");
        QTest::keyClicks(pName, " b");
        LSettings::Get().SetInt("Player", "VolumeDB", 99);
    }
    EXPECT_EQ(LSettings::Get().GetInt("Player", "VolumeDB", 99), 0);
    EXPECT_EQ(LSettings::Get().GetInt("Player", "Device", -1), LWaveOut::FindDevice("null"));
    EXPECT_EQ(src.szName, "take one b");
    EXPECT_TRUE(src.wFlags & LPlayerSource::kNameChanged);

    Provider fixed(8000, LPlayerSource::kNameReadOnly);
    LPlayerBaseDlg ro(fixed);
    EXPECT_FALSE(ro.GetName().isEnabled());
}

TEST_F(LPlayDlgTest, RestartReloadsAndPlaysAgainWhenPlaying)
{
    Provider src(80000);
    LPlayDlgModeless dlg(src);
    EXPECT_EQ(dlg.GetPositionMs(), 0); // a play dialog starts from the beginning
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetPositionMs() >= 200, 3000);
    src.iLength = 16000;
    src.szName = "take two";
    dlg.Restart();
    EXPECT_EQ(dlg.GetLengthMs(), 2000);
    EXPECT_TRUE(Playing(dlg));
    EXPECT_LT(dlg.GetPlayer().GetPosition(), 8000);
    EXPECT_EQ(dlg.GetName().text(), "take two");
    EXPECT_EQ(dlg.windowTitle(), "take two");

    // Stopped, it reloads without playing, into the strip too.
    dlg.CmStop();
    src.iLength = 24000;
    dlg.Restart();
    EXPECT_EQ(dlg.GetLengthMs(), 3000);
    EXPECT_FALSE(Playing(dlg));
    EXPECT_TRUE(dlg.GetStrip().IsRunning());
    EXPECT_EQ(dlg.GetStrip().GetCursor(), 0);
}

TEST_F(LPlayDlgTest, HeldArrowsScanAndTheReleaseResumesPlay)
{
    Provider src(80000);
    LPlayDlg dlg(src);
    dlg.show();
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetPositionMs() >= 200, 3000);
    const int nOpens = src.nOpens;
    QTest::keyPress(&dlg, Qt::Key_Right);
    EXPECT_TRUE(dlg.GetButton(LPlayerBaseDlg::kForward)->isDown());
    EXPECT_TRUE(Playing(dlg));
    EXPECT_EQ(src.nOpens, nOpens + 1);
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetPositionMs() >= 1500, 3000);
    QTest::keyRelease(&dlg, Qt::Key_Right);
    EXPECT_FALSE(dlg.GetButton(LPlayerBaseDlg::kForward)->isDown());
    EXPECT_TRUE(Playing(dlg)); // it was playing before the scan
    EXPECT_GE(dlg.GetPlayer().GetPosition(), LSoundTime::MsToFrames(1500, 8000));

    dlg.CmStop();
    const int32_t iFrom = dlg.GetPositionMs();
    dlg.CmBack();
    EXPECT_TRUE(Playing(dlg));
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetPositionMs() < iFrom - 200, 3000);
    dlg.CmBackFwdStop();
    EXPECT_FALSE(Playing(dlg)); // nothing played before
}

TEST_F(LPlayDlgTest, WaveformStripShowsTwoSecondsAroundThePosition)
{
    Provider src(80000); // ten seconds
    LPlayerBaseDlg dlg(src);
    LWaveWindow& strip = dlg.GetStrip();
    ASSERT_TRUE(strip.IsRunning());
    // A panel starts at the end of what it plays (a take just recorded).
    EXPECT_EQ(strip.GetCursor(), 80000);
    QTRY_COMPARE_WITH_TIMEOUT(strip.GetViewStart(), 72000, 3000);
    EXPECT_EQ(strip.GetViewLength(), 16000);
    dlg.UpdateTime(500);
    EXPECT_EQ(strip.GetCursor(), 4000);
    QTRY_COMPARE_WITH_TIMEOUT(strip.GetViewStart(), 0, 3000); // not before the start
    dlg.UpdateTime(5000);

    // A click on the strip while stopped moves the position there.
    dlg.resize(420, 320);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    // Once the worker has the new width, the view's end is at the right edge.
    QTRY_VERIFY_WITH_TIMEOUT(strip.FrameToPixel(48000) >= strip.width() - 3, 3000);
    const int x = strip.FrameToPixel(44000) + 1;
    QTest::mouseClick(&strip, Qt::LeftButton, Qt::NoModifier, QPoint(x, strip.height() / 2));
    const int32_t iFrame = strip.GetCursor();
    EXPECT_NEAR(iFrame, 44000, 16000 / 300 + 1);
    EXPECT_EQ(dlg.GetPositionMs(), LSoundTime::FramesToMs(iFrame, 8000));
    EXPECT_FALSE(Playing(dlg));

    // Playing, a click seeks the player.
    dlg.CmPlay();
    ASSERT_TRUE(Playing(dlg));
    QTRY_VERIFY_WITH_TIMEOUT(
        dlg.GetPositionMs() >= LSoundTime::FramesToMs(iFrame, 8000) + 300, 3000);
    EXPECT_EQ(strip.GetCursorLength(), 0);
    const int32_t iBefore = dlg.GetPlayer().GetPosition();
    QTest::mouseClick(&strip, Qt::LeftButton, Qt::NoModifier,
        QPoint(strip.FrameToPixel(strip.GetViewStart() + 100) + 1, strip.height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetPlayer().GetPosition() < iBefore - 1000, 3000);
    // In scrub mode the cursor is a 25 ms band.
    dlg.CmScrub();
    dlg.UpdateTime(dlg.GetPositionMs());
    EXPECT_EQ(strip.GetCursorLength(), 200);
    dlg.CmStop();

    // Closing stops the strip with the player.
    dlg.done(1);
    EXPECT_FALSE(strip.IsRunning());
}
