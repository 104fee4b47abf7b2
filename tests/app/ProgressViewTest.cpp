#include "MainWindowFixture.h"
#include "process/LProgressDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <tuple>

namespace {
// An operation of many small blocks that reports each one.
struct CountBlocks {
    int iTotal = 1000;
    int iDone = 0;
    bool bShowError = false;
};

int ProcessBody(LProgressDialog& dlg, CountBlocks& data)
{
    dlg.SetText("Counting", 0);
    dlg.SetText("Please wait...", 1);
    if (data.bShowError)
        dlg.ShowError("Counting failed.");
    for (; data.iDone < data.iTotal; ++data.iDone) {
        if (dlg.CheckCancel())
            return 1;
        dlg.SetProgress(double(data.iDone) / data.iTotal);
    }
    return 0;
}

class ProgressViewTest : public testing::Test {
protected:
    void SetUp() override { LQtProgressView::Install(); }
    void TearDown() override { LProgressView::SetFactory(nullptr); }
};

// What the dialog showed when the test looked at it.
struct Observed {
    bool bSeen = false;
    QString strTitle;
    QString strLine0;
    bool bOwnerEnabled = true;
    bool bHidden = false;
};

// Looks at the running dialog at the next pump, then presses its Cancel (or
// Escape).
void CancelAtNextPump(Observed& seen, QWidget* pOwner, bool bEscape = false)
{
    QTimer::singleShot(0, [&seen, pOwner, bEscape]() {
        QDialog* pDialog = LQtProgressView::GetRunningDialog();
        if (!pDialog)
            return;
        seen.bSeen = true;
        seen.strTitle = pDialog->windowTitle();
        if (auto* pLine = pDialog->findChild<QLabel*>("100"))
            seen.strLine0 = pLine->text();
        seen.bOwnerEnabled = pOwner->isEnabled();
        if (bEscape) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(pDialog, &esc);
        } else {
            pDialog->findChild<QPushButton*>("Cancel")->click();
        }
        seen.bHidden = pDialog->isHidden();
    });
}
} // namespace

TEST_F(ProgressViewTest, CancelOrEscapeStopsTheOperationAndFreesTheOwner)
{
    for (bool bEscape : { false, true }) {
        SCOPED_TRACE(bEscape ? "Escape" : "Cancel");
        QWidget owner;
        owner.show();
        int iOwnerKey = 0;
        LQtProgressView::SetOwnerWindow(&iOwnerKey, &owner);
        CountBlocks data;
        data.iTotal = 1000000;
        Process<CountBlocks> run("Counting Blocks", data);
        // The first pumps let the dialog show its first line; then Cancel.
        Observed seen;
        QTimer::singleShot(0, [&]() { CancelAtNextPump(seen, &owner, bEscape); });
        EXPECT_FALSE(run.Run(&iOwnerKey));
        EXPECT_EQ(run.GetResult(), 1);
        EXPECT_TRUE(seen.bSeen && seen.bHidden && !seen.bOwnerEnabled);
        EXPECT_EQ(seen.strTitle, "Counting Blocks");
        EXPECT_EQ(seen.strLine0, "Counting");
        EXPECT_LT(data.iDone, data.iTotal);
        EXPECT_TRUE(owner.isEnabled());
        EXPECT_EQ(LQtProgressView::GetRunningDialog(), nullptr);
        LQtProgressView::SetOwnerWindow(&iOwnerKey, nullptr);
    }
}

TEST_F(ProgressViewTest, CompletedRunShowsTheBarAndErrors)
{
    ModalScript script;
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    CountBlocks data;
    data.bShowError = true;
    int iBar = -1;
    Process<CountBlocks> run("Counting", data);
    // Look at the bar near the end of the run.
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&]() {
        if (QDialog* p = LQtProgressView::GetRunningDialog())
            iBar = p->findChild<QProgressBar*>("102")->value();
    });
    timer.start(0);
    EXPECT_TRUE(run.Run(nullptr));
    EXPECT_EQ(data.iDone, data.iTotal);
    EXPECT_GE(iBar, 90);
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(script.seen[0].strTitle, "Error");
    EXPECT_EQ(script.seen[0].strText, "Counting failed.");
    EXPECT_EQ(script.seen[0].icon, QMessageBox::Warning);
}

TEST_F(MainWindowFixture, CancelledFadeLeavesTheDocumentAsItWas)
{
    REQUIRE_PEER("sox");
    const std::string strPath = dir.File("long.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strPath,
                  "synth", "30", "sine", "300" }),
        0);
    w->show();
    ASSERT_TRUE(w->GetController().LoadFile(strPath, false, true));
    LOVFile& doc = *w->GetController().GetCurrentFile();
    w->Action(CM_SELECTALL)->trigger();
    const std::vector<LAudioCut> before = doc.claAudio.GetCuts();

    Observed seen;
    CancelAtNextPump(seen, w.get());
    w->Action(CM_FADEIN)->trigger();
    EXPECT_TRUE(seen.bSeen);
    EXPECT_EQ(seen.strTitle, "Fade In");
    EXPECT_FALSE(seen.bOwnerEnabled);
    EXPECT_TRUE(w->isEnabled());
    ASSERT_EQ(doc.claAudio.GetCuts().size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        const LAudioCut& cut = doc.claAudio.GetCuts()[i];
        EXPECT_EQ(std::tie(cut.wCut, cut.iGain, cut.iLength),
            std::tie(before[i].wCut, before[i].iGain, before[i].iLength));
    }
    // The undo step stays taken.
    EXPECT_EQ(w->Action(CM_UNDO)->text(), "Undo Fade In\tCtrl+Z");

    // Not cancelled, the fade replaces the selection with its rendered cut.
    w->Action(CM_FADEIN)->trigger();
    ASSERT_EQ(doc.claAudio.GetCuts().size(), 1u);
    EXPECT_NE(doc.claAudio.GetCuts()[0].wCut, before[0].wCut);
    EXPECT_EQ(doc.GetLength(), 30 * 44100);
}
