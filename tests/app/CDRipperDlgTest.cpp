#include "app/CDRipperDlg.h"

#include "MainWindowFixture.h"
#include "support/CDSimDisc.h"

#include <QPushButton>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {
class CDRipperDlgTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        LSettings::Get().SetString("Folders", "Current", dir.Path());
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        LSettings::Get().SetString("Folders", "Current", "");
        unsetenv("ORVENNA_CDROM_SIM");
    }
    static QStringList Column(QDialog& d, const char* szName, int iColumn)
    {
        QStringList v;
        if (auto* pTree = d.findChild<QTreeWidget*>(szName))
            for (int i = 0; i < pTree->topLevelItemCount(); ++i)
                v << pTree->topLevelItem(i)->text(iColumn);
        return v;
    }
    static void Select(QDialog& d, std::vector<int> rows)
    {
        auto* pTree = d.findChild<QTreeWidget*>("102");
        pTree->clearSelection();
        for (int i : rows)
            pTree->topLevelItem(i)->setSelected(true);
    }
    static void Press(QDialog& d, const QString& strText)
    {
        for (QPushButton* p : d.findChildren<QPushButton*>())
            if (p->text() == strText)
                p->click();
    }
};
} // namespace

TEST_F(CDRipperDlgTest, TwoDrivesRefreshAndSelectedTracksOpenAsUntitledDocuments)
{
    const std::string strFirst = CDSimDisc::Write(
        dir, "first", 10, "track 1 audio 0\ntrack 2 data 20000\nleadout 21000\n");
    const std::string strSecond
        = CDSimDisc::Write(dir, "second", 200, "track 1 audio 0\ntrack 2 audio 75\nleadout 200\n");
    setenv("ORVENNA_CDROM_SIM", (strFirst + ":" + strSecond).c_str(), 1);
    script.Then([&](QDialog& d) {
        auto* pDrives = d.findChild<QComboBox*>("101");
        EXPECT_EQ(pDrives->count(), 2);
        EXPECT_EQ(pDrives->itemText(1), "CD-ROM 2");
        EXPECT_EQ(Column(d, "102", 0), QStringList({ "Track 1", "Track 2" }));
        EXPECT_EQ(Column(d, "102", 1), QStringList({ "1:54", "0:13 (data)" }));
        // A data track is refused and the dialog stays open.
        Select(d, { 1 });
        Press(d, "Load");
        EXPECT_NE(d.result(), QDialog::Accepted);
        // The second disc changed: Refresh reads it again.
        pDrives->setCurrentIndex(1);
        EXPECT_EQ(Column(d, "102", 1), QStringList({ "0:01", "0:01" }));
        CDSimDisc::Write(dir, "second", 200,
            "track 1 audio 0\ntrack 2 audio 75\ntrack 3 audio 150\nleadout 200\n");
        d.findChild<QPushButton*>("103")->click();
        EXPECT_EQ(pDrives->currentIndex(), 0);
        pDrives->setCurrentIndex(1);
        EXPECT_EQ(Column(d, "102", 0), QStringList({ "Track 1", "Track 2", "Track 3" }));
        Select(d, { 0, 2 });
        Press(d, "Load");
        return d.result();
    });
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    w->Action(CM_CDIMPORT)->trigger();
    EXPECT_TRUE(script.AllUsed());
    ASSERT_EQ(script.seen.size(), 3u);
    EXPECT_TRUE(script.seen[1].strText.contains("Track 2 is a data track"));
    EXPECT_TRUE(script.seen[2].strText.contains("Track 1:  v1 "));
    EXPECT_TRUE(script.seen[2].strText.contains("Track 3:  v1 "));

    // The samples read are checked in tests/cd; here the documents they open.
    const auto& files = w->GetController().GetFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files.front()->GetLength(), 75 * 588);
    EXPECT_EQ(files.back()->GetLength(), 50 * 588);
    for (const auto& pDoc : files)
        EXPECT_TRUE(pDoc->szFilePath.empty() && pDoc->bDirty);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Track 1.wav")));
}

TEST_F(CDRipperDlgTest, WithoutDrivesItSaysSoAndOpensNothing)
{
    setenv("ORVENNA_CDROM_SIM", "", 1);
    ASSERT_TRUE(w->GetController().IsCommandEnabled(CM_CDIMPORT));
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    w->Action(CM_CDIMPORT)->trigger();
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(script.seen[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(script.seen[0].strText.startsWith("No CD-ROM drives have been detected."));
    EXPECT_EQ(w->GetController().GetNoFiles(), 0);
}
