#include "MainWindowFixture.h"
#include "app/LBatchWizard.h"
#include "audio/LWaveFile.h"
#include "engine/LWavCodecFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
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

TEST_F(MainWindowFixture, BatchFilesCommandsWithSettingsFolderAndReport)
{
    REQUIRE_PEER("sox");
    for (const char* szName : { "a.wav", "b.wav" })
        ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "22050", "-c", "1", "-b", "16",
                      dir.File(szName), "synth", "1", "sine", "440", "vol", "0.25" }),
            0);
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
    w->Action(CM_BATCH)->trigger();
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

TEST_F(MainWindowFixture, BatchCurveSettingsFormatOptionsAndHeaderlessInputsAskedOnce)
{
    REQUIRE_PEER("sox");
    for (const char* szName : { "a.vox", "b.vox" })
        ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "8000", "-c", "1", dir.File(szName),
                      "synth", "1", "sine", "440", "vol", "0.5" }),
            0);
    std::vector<CommandDataItem> commands;
    script.Then([&](QDialog& dialog) {
        auto& wizard = dynamic_cast<LBatchWizard&>(dialog);
        wizard.restart();
        wizard.currentPage()->findChild<QListWidget*>("Files")->addItems(
            { QString::fromStdString(dir.File("a.vox")),
                QString::fromStdString(dir.File("b.vox")) });
        wizard.next();
        QWizardPage& page = *wizard.currentPage();
        script.Then([](QDialog& add) {
            add.findChild<QListWidget*>("AddBatchCommandDlg")->item(6)->setSelected(true);
            return int(QDialog::Accepted);
        });
        ButtonOf(page, "Add")->click();
        page.findChild<QTreeWidget*>("Commands")->topLevelItem(0)->setSelected(true);
        // The equalizer's curve editor: a click between the ends adds a point.
        script.Then([](QDialog& curve) {
            auto* pEditor = curve.findChild<QWidget*>("Curve");
            const QPoint pt = pEditor->rect().center() - QPoint(0, pEditor->height() / 4);
            for (QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease }) {
                QMouseEvent e(type, pt, pEditor->mapToGlobal(pt), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                    Qt::NoModifier);
                QCoreApplication::sendEvent(pEditor, &e);
            }
            return int(QDialog::Accepted);
        });
        ButtonOf(page, "Settings")->click();
        commands = wizard.data.commands;
        wizard.next();
        QWizardPage& output = *wizard.currentPage();
        ButtonOf(output, "Convert to file format")->click();
        output.findChild<QComboBox*>()->setCurrentText(".wav");
        // The WAV chooser as Save As shows it, accepted on what it proposes.
        script.Then([](QDialog& chooser) {
            EXPECT_EQ(chooser.windowTitle(), "Select Wave File Format");
            return int(QDialog::Accepted);
        });
        ButtonOf(output, "Format Options")->click();
        ButtonOf(output, "Save to this folder")->click();
        output.findChild<QLineEdit*>("OutputFolder")
            ->setText(QString::fromStdString(dir.File("out")));
        script.Then(ModalScript::Answer(QMessageBox::Yes)); // create the folder
        // One "File Properties" for both VOX inputs.
        script.Then(ModalScript::Fill({ { "VoxRawSampleRate", "8000" } }));
        script.Then([](QDialog&) { return int(QDialog::Rejected); }); // the report
        EXPECT_TRUE(wizard.validateCurrentPage());
        return int(QDialog::Accepted);
    });
    w->Action(CM_BATCH)->trigger();
    EXPECT_TRUE(script.AllUsed());
    ASSERT_EQ(commands.size(), 1u);
    ASSERT_EQ(commands[0].GetDataSize(), 129u);
    EXPECT_EQ(commands[0].data[0], 3); // the two ends and the new point
    // Both converted, in the format the chooser proposed.
    EXPECT_TRUE(LFile::Exists(dir.File("out/b.wav")));
    LFile file;
    LWaveHeader format;
    int64_t iBytes = 0;
    ASSERT_TRUE(file.Open(dir.File("out/a.wav"), LFile::Mode::Read));
    ASSERT_TRUE(LWaveFile::ReadHeader(file, format, iBytes));
    EXPECT_EQ(format.wFormatTag, LWavCodecFile::Load().wfx.wFormatTag);
}
