#include "ModalScript.h"
#include "app/LMDIMainWindow.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QWizard>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
QAbstractButton* ButtonOf(QWidget& page, const QString& strText)
{
    for (QAbstractButton* p : page.findChildren<QAbstractButton*>())
        if (p->text() == strText)
            return p;
    ADD_FAILURE() << "no button " << strText.toStdString();
    return nullptr;
}
} // namespace

TEST(BatchWizard, FilesCommandsWithSettingsFolderAndReport)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    for (const char* szName : { "a.wav", "b.wav" })
        ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "22050", "-c", "1", "-b", "16",
                      dir.File(szName), "synth", "1", "sine", "440", "vol", "0.25" }),
            0);
    LMDIMainWindow w;
    ModalScript script;
    QString strReport;
    QStringList commandRows;
    script.Then([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<QWizard&>(dialog);
        wizard.restart();
        wizard.currentPage()->findChild<QListWidget*>("Files")->addItems(
            { QString::fromStdString(dir.File("a.wav")),
                QString::fromStdString(dir.File("b.wav")) });
        wizard.next();
        QWizardPage& commands = *wizard.currentPage();
        auto* pList = commands.findChild<QTreeWidget*>("Commands");
        // Add: Amplify and Convert Sample Rate, in table order.
        script.Then([](QDialog& add) {
            auto* pNames = add.findChild<QListWidget*>("AddBatchCommandDlg");
            pNames->item(16)->setSelected(true);
            pNames->item(3)->setSelected(true);
            return int(QDialog::Accepted);
        });
        ButtonOf(commands, "Add")->click();
        for (auto [iRow, strKey, strValue] :
            { std::tuple { 0, "AmplifyGain", "200" }, std::tuple { 1, "SampleRate", "16000" } }) {
            pList->clearSelection();
            pList->topLevelItem(iRow)->setSelected(true);
            script.Then(ModalScript::Fill({ { strKey, strValue } }));
            ButtonOf(commands, "Settings")->click();
        }
        for (int i = 0; i < pList->topLevelItemCount(); ++i)
            commandRows << pList->topLevelItem(i)->text(0) + ": " + pList->topLevelItem(i)->text(1);
        wizard.next();
        QWizardPage& output = *wizard.currentPage();
        ButtonOf(output, "Save to this folder")->click();
        output.findChild<QLineEdit*>("OutputFolder")
            ->setText(QString::fromStdString(dir.File("out")));
        script.Then(ModalScript::Answer(QMessageBox::Yes)); // create the folder
        script.Then([&strReport](QDialog& report) {
            strReport = report.findChild<QPlainTextEdit*>("Report")->toPlainText();
            return int(QDialog::Rejected);
        });
        EXPECT_TRUE(wizard.validateCurrentPage());
        return int(QDialog::Accepted);
    });
    w.Action(CM_BATCH)->trigger();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(commandRows,
        QStringList({ "Amplify: Amplify Gain (%) = 200",
            "Convert Sample Rate: Convert Sample Rate = 16000" }));
    for (const char* szName : { "a.wav", "b.wav" }) {
        const std::string strOut = dir.File(std::string("out/") + szName);
        EXPECT_TRUE(strReport.contains(
            QString::fromStdString("Done: " + dir.File(szName) + " -> " + strOut)))
            << strReport.toStdString();
        std::string strRate;
        TestSupport::Run({ "soxi", "-r", strOut }, &strRate);
        EXPECT_EQ(strRate, "16000\n");
    }
}
