#include "MainWindowFixture.h"
#include "app/LAssembleDlg.h"
#include "app/LBookMarkWindow.h"
#include "app/LRegionWindow.h"
#include "support/AudioTestSupport.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QTreeWidget>
#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {
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

// The lists and dialogs reach the project; its rules are checked in
// tests/features/BookMarkTest.cpp and ProjectTest.cpp.
TEST_F(ProjectWindowTest, BookmarksAreSetRenamedVisitedAndDeleted)
{
    ASSERT_TRUE(w->GetController().LoadFile(
        TestSupport::MakeRampWav(dir, "a.wav", 8000, 1, 16000), false, false));
    LOVFile& doc = *w->GetController().GetCurrentFile();
    w->GetController().ModifySelection(0, 0, 12000);
    script.Then(Name("chorus"));
    w->Action(CM_SETBOOKMARK)->trigger();
    w->Action(CM_OPENBOOKMARKS)->trigger();
    ASSERT_NE(w->GetBookMarkWindow(), nullptr);
    EXPECT_TRUE(w->Action(CM_GOTOBOOKMARK)->isVisible());
    QTreeWidget& list = w->GetBookMarkWindow()->List();
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(Row(list, 0).mid(0, 3), QStringList({ "chorus", "0:00:01.50", "1" }));

    list.topLevelItem(0)->setText(0, "verse"); // what an edit in place ends with
    EXPECT_EQ(w->GetProject().GetBookMarks().Items()[0].szName, "verse");
    w->GetController().ModifySelection(0, 0, 0);
    list.topLevelItem(0)->setSelected(true);
    w->Action(CM_GOTOBOOKMARK)->trigger();
    EXPECT_EQ(doc.sPosition, 12000);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.topLevelItem(0)->text(2), "2");

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
    ASSERT_TRUE(
        main.LoadFile(TestSupport::MakeRampWav(dir, "a.wav", 8000, 1, 16000), false, false));
    main.ModifySelection(0, 4000, 0);
    script.Then(Name("intro"));
    w->Action(CM_ADDREGION)->trigger();
    ASSERT_TRUE(
        main.LoadFile(TestSupport::MakeRampWav(dir, "b.wav", 16000, 1, 8000), false, false));
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
    EXPECT_EQ(main.GetCurrentFile()->GetLength(), 8000);

    // Assembly of both regions into the first one's rate, with the default gap.
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
    EXPECT_GE(main.GetCurrentFile()->GetLength(), 4000 + 4000 - 2) << "both regions";

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

    // Opened again as a second start hands it over.
    w->EvLoad({ QString::fromStdString(strProject) });
    EXPECT_EQ(main.GetNoFiles(), 4);
    EXPECT_EQ(w->GetProject().GetRegions().size(), 2u);
    EXPECT_EQ(w->windowTitle(), "Orvenna - work.ovp");
    EXPECT_TRUE(script.AllUsed());
}
