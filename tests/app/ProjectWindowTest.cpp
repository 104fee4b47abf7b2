#include "MainWindowFixture.h"
#include "app/LAssembleDlg.h"
#include "app/LBookMarkWindow.h"
#include "app/LRegionWindow.h"
#include "audio/LWaveFile.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QTreeWidget>
#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {
std::string RampWav(const TempDir& dir, const std::string& strName, int32_t iRate, int32_t iFrames)
{
    std::string strPath = dir.File(strName);
    SinkHandle h = LWaveFile::OpenSinkPCM(strPath, iRate, 1, 16, 0);
    std::vector<int32_t> v(static_cast<size_t>(iFrames));
    for (int32_t i = 0; i < iFrames; ++i)
        v[size_t(i)] = (i % 1000) * 16;
    h->Write(v.data(), iFrames);
    return strPath;
}

ModalScript::Step Name(const QString& strName)
{
    return [strName](QDialog& d) {
        auto* p = qobject_cast<QInputDialog*>(&d);
        EXPECT_NE(p, nullptr);
        if (p)
            p->setTextValue(strName);
        return int(QDialog::Accepted);
    };
}

ModalScript::Step File(const std::string& strPath)
{
    return [strPath](QDialog& d) {
        auto* p = qobject_cast<QFileDialog*>(&d);
        EXPECT_NE(p, nullptr);
        if (p)
            p->selectFile(QString::fromStdString(strPath));
        return int(QDialog::Accepted);
    };
}

QStringList Row(QTreeWidget& list, int i)
{
    QStringList v;
    for (int c = 0; c < list.columnCount(); ++c)
        v << list.topLevelItem(i)->text(c);
    return v;
}

using ProjectWindowTest = MainWindowFixture;
} // namespace

TEST_F(ProjectWindowTest, BookmarksAreSetRenamedVisitedAndDeleted)
{
    ASSERT_TRUE(w->GetController().LoadFile(RampWav(dir, "a.wav", 8000, 16000), false, false));
    LOVFile& doc = *w->GetController().GetCurrentFile();
    w->GetController().ModifySelection(0, 0, 12000);
    script.Then(Name("chorus"));
    w->Action(CM_SETBOOKMARK)->trigger();
    EXPECT_EQ(doc.bDirty, 1);
    EXPECT_FALSE(w->Action(CM_GOTOBOOKMARK)->isVisible());
    w->Action(CM_OPENBOOKMARKS)->trigger();
    ASSERT_NE(w->GetBookMarkWindow(), nullptr);
    EXPECT_TRUE(w->Action(CM_GOTOBOOKMARK)->isVisible());
    QTreeWidget& list = w->GetBookMarkWindow()->List();
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0).mid(0, 3), QStringList({ "chorus", "0:00:01.50", "1" }));
    EXPECT_EQ(list.headerItem()->text(3), "Last Visited");

    list.topLevelItem(0)->setText(0, "verse"); // what an edit in place ends with
    EXPECT_EQ(w->GetProject().GetBookMarks().Items()[0].szName, "verse");
    w->GetController().ModifySelection(0, 0, 0);
    list.topLevelItem(0)->setSelected(true);
    w->Action(CM_GOTOBOOKMARK)->trigger();
    EXPECT_EQ(doc.sPosition, 12000);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.topLevelItem(0)->text(2), "2");

    script.Then(ModalScript::Answer(QMessageBox::No));
    list.topLevelItem(0)->setSelected(true);
    w->Action(CM_DELETEBOOKMARK)->trigger();
    EXPECT_EQ(w->GetProject().GetBookMarks().Items().size(), 1u);
    script.Then(ModalScript::Answer(QMessageBox::Yes));
    w->Action(CM_DELETEALLBOOKMARKS)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_EQ(script.seen.back().strText, "Delete all selected bookmark(s)?");
    delete w->GetBookMarkWindow()->parentWidget();
    EXPECT_EQ(w->GetBookMarkWindow(), nullptr);
    EXPECT_FALSE(w->Action(CM_GOTOBOOKMARK)->isVisible());
    EXPECT_TRUE(script.AllUsed());
}

TEST_F(ProjectWindowTest, RegionsAssembleAndProjectsSaveAndClose)
{
    MainDialog& main = w->GetController();
    ASSERT_TRUE(main.LoadFile(RampWav(dir, "a.wav", 8000, 16000), false, false));
    main.ModifySelection(0, 4000, 0);
    script.Then(Name("intro"));
    w->Action(CM_ADDREGION)->trigger();
    ASSERT_TRUE(main.LoadFile(RampWav(dir, "b.wav", 16000, 8000), false, false));
    main.ModifySelection(0, 8000, 0);
    script.Then(Name("outro"));
    w->Action(CM_ADDREGION)->trigger();
    w->Action(CM_OPENREGIONS)->trigger();
    ASSERT_NE(w->GetRegionWindow(), nullptr);
    QTreeWidget& list = w->GetRegionWindow()->List();
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(Row(list, 1), QStringList({ "outro", "0:00:00.00-0:00:00.50", "b.wav" }));
    list.topLevelItem(1)->setSelected(true);
    w->Action(CM_COPYREGIONTONEW)->trigger();
    EXPECT_EQ(main.GetCurrentFile()->GetDisplayName(), "Untitled 1");
    EXPECT_EQ(main.GetCurrentFile()->GetLength(), 8000);

    // Assembly: both regions, AutoGap 100 ms, into the first one's rate.
    LSettings::Get().SetInt("Settings", "AutoGapTime", 100);
    script.Then([](QDialog& d) {
        auto* p = qobject_cast<LAssembleDlg*>(&d);
        EXPECT_NE(p, nullptr);
        auto* pRegions = d.findChild<QTreeWidget*>("RegionList");
        pRegions->selectAll();
        p->Add();
        p->accept();
        return d.result();
    });
    w->Action(CM_ASSEMBLEREGIONS)->trigger();
    EXPECT_EQ(main.GetCurrentFile()->GetDisplayName(), "Untitled 2");
    EXPECT_NEAR(main.GetCurrentFile()->GetLength(), 4000 + 800 + 4000, 2);
    LSettings::Get().Remove("Settings", "AutoGapTime");

    const std::string strProject = dir.File("work.ovp");
    script.Then(File(strProject));
    w->Action(CM_SAVEPROJECTAS)->trigger();
    EXPECT_EQ(w->windowTitle(), "Orvenna - work.ovp");
    // Close Project: the project question, then each changed document.
    script.Then(ModalScript::Answer(QMessageBox::No));
    script.Then(ModalScript::Answer(QMessageBox::No));
    script.Then(ModalScript::Answer(QMessageBox::No));
    w->Action(CM_CLOSEPROJECT)->trigger();
    EXPECT_EQ(w->windowTitle(), "Orvenna");
    EXPECT_EQ(main.GetNoFiles(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_EQ(script.seen[script.seen.size() - 3].strText, "Save changes to current project?");

    // Opened again as a second start hands it over.
    w->EvLoad({ QString::fromStdString(strProject) });
    EXPECT_EQ(main.GetNoFiles(), 4);
    EXPECT_EQ(w->GetProject().GetRegions().size(), 2u);
    EXPECT_EQ(w->windowTitle(), "Orvenna - work.ovp");
    EXPECT_TRUE(script.AllUsed());
}
