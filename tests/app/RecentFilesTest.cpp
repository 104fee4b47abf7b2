#include "MainWindowFixture.h"
#include "app/LRecentFiles.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <gtest/gtest.h>

namespace {
void ClearRecent()
{
    for (int n = 1; n <= LRecentFiles::kEntries; ++n) {
        LSettings::Get().Remove("Recent", "RecentFile " + std::to_string(n));
        LSettings::Get().Remove("Recent", "RecentFileDate" + std::to_string(n));
    }
}

std::string Path(int i)
{
    return "/music/take" + std::to_string(i) + ".wav";
}
} // namespace

TEST(RecentFiles, TwelveClosedFilesKeepTheElevenNewest)
{
    ClearRecent();
    for (int i = 1; i <= 12; ++i)
        LRecentFiles::Add(Path(i), 1000 + i);
    std::vector<LRecentFiles::Entry> entries = LRecentFiles::Load();
    // The oldest (take1, in slot 1) made room for take12.
    EXPECT_EQ(entries[0].strPath, Path(12));
    EXPECT_EQ(entries[0].iDate, 1012);
    for (int n = 2; n <= 11; ++n)
        EXPECT_EQ(entries[size_t(n - 1)].strPath, Path(n));
    // The thirteenth replaces the next oldest, take2.
    LRecentFiles::Add(Path(13), 1013);
    EXPECT_EQ(LRecentFiles::Load()[1].strPath, Path(13));
    // A listed path, in other case, only gets the new date.
    LRecentFiles::Add("/MUSIC/TAKE5.WAV", 2000);
    entries = LRecentFiles::Load();
    EXPECT_EQ(entries[4].strPath, Path(5));
    EXPECT_EQ(entries[4].iDate, 2000);
    EXPECT_EQ(LSettings::Get().GetString("Recent", "RecentFile 5"), Path(5));
    ClearRecent();
}

TEST_F(MainWindowFixture, ClosingATitledFileListsItInTheRecentFiles)
{
    REQUIRE_PEER("sox");
    ClearRecent();
    const std::string strPath = MakeWav("closed.wav", { "-r", "8000" });
    ASSERT_TRUE(w->GetController().LoadFile(strPath, false, true));
    w->Action(CM_FILECLOSE)->trigger();
    ASSERT_EQ(w->GetController().GetNoFiles(), 0);

    QList<QAction*> items = w->GetMenu().FileMenu()->actions();
    const qsizetype iExit = items.indexOf(w->Action(CM_EXIT));
    ASSERT_GE(iExit, 2);
    QAction* pRecent = items[iExit - 2];
    EXPECT_EQ(pRecent->text(), QString("&1. ") + QString::fromStdString(strPath));
    EXPECT_EQ(pRecent->data().toInt(), 1050);
    EXPECT_TRUE(items[iExit - 1]->isSeparator());
    pRecent->hover();
    EXPECT_EQ(w->GetHintText(), "Open the recent closed file.");

    pRecent->trigger();
    ASSERT_EQ(w->GetController().GetNoFiles(), 1);
    EXPECT_EQ(w->GetController().GetCurrentFile()->szFilePath, strPath);
    ClearRecent();
}

TEST(MainWindowPlacement, StoredSizeIsCutToTheDesktop)
{
    LSettings& s = LSettings::Get();
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
    s.SetInt("MainWindow", "Width", desk.width() + 500);
    s.SetInt("MainWindow", "Height", 300);
    s.SetInt("MainWindow", "X", desk.right() + 100);
    s.SetInt("MainWindow", "Y", 10);
    {
        LMDIMainWindow w;
        EXPECT_EQ(w.width(), desk.width());
        EXPECT_EQ(w.height(), 300);
        EXPECT_EQ(w.x(), desk.left());
    }
    for (const char* sz : { "Width", "Height", "X", "Y" })
        s.Remove("MainWindow", sz);
    LMDIMainWindow w;
    EXPECT_EQ(w.width(), std::min(740, desk.width()));
    EXPECT_EQ(w.height(), std::min(627, desk.height()));
}
