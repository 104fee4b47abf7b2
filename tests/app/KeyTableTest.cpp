#include "MainWindowFixture.h"
#include "platform/sound/LWaveOut.h"

#include <QAbstractButton>

namespace {
// A ten-second 8000 Hz mono document at 2 s, played on the null device.
class KeyTableTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        const int iNull = LWaveOut::FindDevice("null");
        ASSERT_GE(iNull, 0);
        w->GetTransport().SetOverrides(iNull, LPlaybackControl::kNormal);
        pDoc = &Silence("10000");
        ASSERT_EQ(pDoc->GetLength(), 80000);
        w->GetController().ModifySelection(16000, 16000, 16000);
        Activate();
    }
    bool Playing() { return w->GetTransport().IsOpen(); }

    LOVFile* pDoc = nullptr;
};
} // namespace

TEST_F(KeyTableTest, LeftAndRightScanWhileHeld)
{
    QTest::keyPress(w.get(), Qt::Key_Left);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(w->GetTransportButton(115)->isDown());
    // The rewind starts a fifth of a second back.
    EXPECT_LE(pDoc->sPosition, 16000 - 1600);
    EXPECT_GT(pDoc->sPosition, 16000 - 3200);
    const int32_t iRewound = pDoc->sPosition;
    // Auto-repeat does not restart it.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(w.get(), &repeat);
    EXPECT_LE(pDoc->sPosition, iRewound);
    QTest::keyRelease(w.get(), Qt::Key_Left);
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(w->GetTransportButton(115)->isDown());

    const int32_t iStart = pDoc->sPosition;
    QTest::keyPress(w.get(), Qt::Key_Right);
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(w->GetTransportButton(116)->isDown());
    ASSERT_TRUE(QTest::qWaitFor([&]() { return pDoc->sPosition > iStart; }, 3000));
    QTest::keyRelease(w.get(), Qt::Key_Right);
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(pDoc->HasValidSelection());
}

TEST_F(KeyTableTest, ShiftWithArrowsExtendsFromTheAnchor)
{
    QTest::keyPress(w.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(w->GetShiftAnchor(), 16000);
    EXPECT_TRUE(w->IsExtending());
    EXPECT_LE(pDoc->sSelStart, 14400);
    EXPECT_EQ(pDoc->sSelStart, pDoc->sPosition);
    EXPECT_EQ(pDoc->sSelEnd, 16000);
    // Releasing Shift with the arrow ends the extension.
    QTest::keyRelease(w.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(w->IsExtending());

    // A new Shift press takes the position as the anchor; the forward scan
    // grows the selection from there while Shift stays down.
    const int32_t iAnchor = pDoc->sPosition;
    QTest::keyPress(w.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(w->GetShiftAnchor(), iAnchor);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return pDoc->sPosition > iAnchor + 2000; }, 4000));
    QTest::keyRelease(w.get(), Qt::Key_Right);
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(w->IsExtending());
    EXPECT_EQ(pDoc->sSelStart, iAnchor);
    EXPECT_EQ(pDoc->sSelEnd, pDoc->sPosition);
    EXPECT_TRUE(w->Action(CM_TRIM)->isEnabled());
    QTest::keyRelease(w.get(), Qt::Key_Shift);
    EXPECT_FALSE(w->IsExtending());
}

// Shift+Home/End select from the position to that end; plain Home/End collapse.
TEST_F(KeyTableTest, ShiftHomeOrEndSelectsToThatEndAndThePlainKeyCollapses)
{
    const struct {
        Qt::Key shifted, plain;
        int32_t iSelStart, iSelEnd, iPosition, iPlainPosition;
    } cases[] = { { Qt::Key_Home, Qt::Key_End, 0, 16000, 0, 80000 },
        { Qt::Key_End, Qt::Key_Home, 16000, 80000, 80000, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shifted);
        w->GetController().ModifySelection(16000, 16000, 16000);
        QTest::keyClick(w.get(), c.shifted, Qt::ShiftModifier);
        EXPECT_EQ(pDoc->sSelStart, c.iSelStart);
        EXPECT_EQ(pDoc->sSelEnd, c.iSelEnd);
        EXPECT_EQ(pDoc->sPosition, c.iPosition);
        EXPECT_FALSE(w->IsExtending());
        EXPECT_TRUE(Enabled(CM_TRIM));
        QTest::keyClick(w.get(), c.plain);
        EXPECT_EQ(pDoc->sPosition, c.iPlainPosition);
        EXPECT_FALSE(pDoc->HasValidSelection());
    }
}

TEST_F(KeyTableTest, ArrowsInTheVolumeFieldMoveTheCaret)
{
    QWidget* pField = w->findChild<QWidget*>("LDBEditField");
    ASSERT_NE(pField, nullptr);
    pField->setFocus();
    QTest::keyPress(pField, Qt::Key_Left);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(pDoc->sPosition, 16000);
    QTest::keyRelease(pField, Qt::Key_Left);
}

TEST_F(KeyTableTest, TransportButtonsShowThePlayerState)
{
    // The checked one of Play (111), Scrub (112) and Stop (113).
    auto down = [this]() {
        int iDown = 0;
        for (int iId : { 111, 112, 113 })
            iDown = w->GetTransportButton(iId)->isChecked() ? iDown * 1000 + iId : iDown;
        return iDown;
    };
    EXPECT_EQ(down(), 113);
    QTest::keyClick(w.get(), Qt::Key_F9);
    ASSERT_TRUE(Playing());
    EXPECT_EQ(down(), 111);
    QTest::keyClick(w.get(), Qt::Key_Space); // scrubs
    ASSERT_TRUE(w->GetTransport().IsCued());
    EXPECT_EQ(down(), 112);
    QTest::keyClick(w.get(), Qt::Key_Space); // plays on
    EXPECT_FALSE(w->GetTransport().IsCued());
    EXPECT_EQ(down(), 111);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(Playing());
    EXPECT_EQ(down(), 113);
    // The pressed Play and Stop show their lit pictures.
    const QIcon icon = w->GetTransportButton(113)->icon();
    EXPECT_NE(icon.pixmap(32, QIcon::Normal, QIcon::On).toImage(),
        icon.pixmap(32, QIcon::Normal, QIcon::Off).toImage());
}
