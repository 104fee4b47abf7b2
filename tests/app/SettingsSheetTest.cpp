#include "MainWindowFixture.h"
#include "app/LAudioProcessPage.h"
#include "app/LGeneralPage.h"
#include "app/LKeyDialogs.h"
#include "app/LKeysPage.h"
#include "app/LQtVirtualKeys.h"
#include "app/LSettingsSheet.h"
#include "features/LVirtualKeys.h"
#include "platform/LFile.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {
constexpr uint32_t kCtrlA = kKeyCtrl | 'A';

QString Row(const LSettingsSheet& sheet, int i, int iColumn)
{
    return sheet.GetKeys().GetList().topLevelItem(i)->text(iColumn);
}

// A ten-second 8000 Hz mono document in the window, no keys.dat.
class SettingsSheetTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        LFile::Delete(LKeyMacros::DefaultPath());
        MainWindowFixture::SetUp();
        pDoc = &Silence("10000");
        script.seen.clear();
    }
    void TearDown() override
    {
        EXPECT_TRUE(script.AllUsed());
        MainWindowFixture::TearDown();
        LFile::Delete(LKeyMacros::DefaultPath());
        for (const char* sz : { "PlayWhenOpen", "PlayBookMark", "PromptSampleAndChannels",
                 "DefaultSampleRate", "DefaultChannels", "AutoTrimThreshold", "WorkingFolder" })
            LSettings::Get().Remove("Settings", sz);
        for (const LFileTypeSetting& t : LGeneralSettings::FileTypes())
            LSettings::Get().Remove("Settings", t.szSetting);
        LSettings::Get().SetBool("Settings", "PlayWhenOpen", false);
    }
    // Opens Settings; fn works the sheet and gives its answer.
    void Settings(std::function<int(LSettingsSheet&)> fn)
    {
        script.Then([fn](QDialog& d) { return fn(dynamic_cast<LSettingsSheet&>(d)); });
        w->Action(CM_SETTINGS)->trigger();
    }
    // Press Key answered with one key press.
    void PressKey(int iQtKey, Qt::KeyboardModifiers modifiers)
    {
        script.Then([=](QDialog& d) {
            QTest::keyClick(&d, Qt::Key(iQtKey), modifiers);
            return d.result();
        });
    }
    // The Add of the Keys page: the key, then the commands chosen by name,
    // then the answer to "Replace it?" when the key is taken.
    void AddMacro(LSettingsSheet& sheet, int iQtKey, Qt::KeyboardModifiers modifiers,
        QStringList commands, int iReplaceAnswer = 0)
    {
        PressKey(iQtKey, modifiers);
        script.Then([](QDialog& d) {
            d.findChild<QPushButton*>("104")->click(); // the command list, next
            return int(QDialog::Accepted);
        });
        script.Then([commands](QDialog& d) {
            auto* pList = d.findChild<QListWidget*>("commands");
            for (const QString& str : commands) {
                const auto items = pList->findItems(str, Qt::MatchExactly);
                EXPECT_EQ(items.size(), 1) << str.toStdString();
                for (QListWidgetItem* p : items)
                    p->setSelected(true);
            }
            return int(QDialog::Accepted);
        });
        if (iReplaceAnswer)
            script.Then(ModalScript::Answer(QMessageBox::StandardButton(iReplaceAnswer)));
        sheet.GetKeys().findChild<QPushButton*>("102")->click();
    }

    LOVFile* pDoc = nullptr;
};
} // namespace

TEST_F(SettingsSheetTest, KeysPageEditsACopyAndOkWritesKeysDat)
{
    Settings([&](LSettingsSheet& sheet) {
        AddMacro(sheet, Qt::Key_A, Qt::ControlModifier, { "Insert Silence At The End" });
        EXPECT_EQ(Row(sheet, 0, 0), "Ctrl+A");
        EXPECT_EQ(Row(sheet, 0, 1), "Insert Silence At The End");
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(w->GetMacros().Keys().empty()) << "Cancel leaves the macros in use alone";
    EXPECT_FALSE(LFile::Exists(LKeyMacros::DefaultPath()));

    Settings([&](LSettingsSheet& sheet) {
        AddMacro(sheet, Qt::Key_A, Qt::ControlModifier, { "Convert to Stereo", "Select All" });
        AddMacro(sheet, Qt::Key_F1, Qt::ShiftModifier, {});
        // The same key again: asked, and No keeps the first binding.
        AddMacro(sheet, Qt::Key_A, Qt::ControlModifier, { "Amplify" }, QMessageBox::No);
        EXPECT_EQ(Row(sheet, 0, 1), "Select All->Convert to Stereo") << "in list order";
        AddMacro(sheet, Qt::Key_A, Qt::ControlModifier, { "Insert Silence At The End" },
            QMessageBox::Yes);
        EXPECT_EQ(sheet.GetKeys().GetList().topLevelItemCount(), 2);
        EXPECT_EQ(Row(sheet, 0, 0), "Shift+F1");
        EXPECT_EQ(Row(sheet, 1, 1), "Insert Silence At The End");
        return int(QDialog::Accepted);
    });
    // The bytes of keys.dat are checked in tests/features/KeyMacrosTest.cpp.
    ASSERT_EQ(w->GetMacros().Keys().size(), 2u);
    EXPECT_EQ(w->GetMacros().Keys()[1].uKey, kCtrlA);
    // A window of a later run reads them from keys.dat.
    LMDIMainWindow later;
    EXPECT_EQ(later.GetMacros().Keys(), w->GetMacros().Keys());
}

TEST_F(SettingsSheetTest, MacroKeyRunsInsteadOfTheBuiltInKeyOncePerPress)
{
    Activate();
    // Ctrl+T is Trim.
    w->GetController().ModifySelection(100, 200, 100);
    QTest::keyClick(w.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(pDoc->GetLength(), 100);
    // A macro on Ctrl+B (Set Bookmark, which asks for a name) inserts a
    // second of silence instead: no name is asked.
    LOVMacroKeys macro;
    macro.uKey = kKeyCtrl | 'B';
    macro.commands = { { CM_INSSILENCEEND } };
    w->GetMacros().Keys() = { macro };
    w->GetController().ModifySelection(10, 20, 10);
    script.Then(ModalScript::Fill({ { "SilenceTimes", "1000" } }));
    QTest::keyPress(w.get(), Qt::Key_B, Qt::ControlModifier);
    // Held down: the repeats run nothing (a second dialog would fail the test).
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier, "b", true);
    QApplication::sendEvent(w.get(), &repeat);
    QTest::keyRelease(w.get(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(pDoc->GetLength(), 8100);
    // Gone again, the key trims (the progress window took the focus: back).
    w->GetMacros().Keys().clear();
    Activate();
    w->GetController().ModifySelection(0, 50, 0);
    QTest::keyClick(w.get(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(pDoc->GetLength(), 50);
}

TEST_F(SettingsSheetTest, PressKeyTakesTheFirstRealKey)
{
    const struct {
        std::vector<std::pair<int, Qt::KeyboardModifiers>> presses;
        int iResult; // -1 still open
        const char* szKey;
    } cases[] = {
        { { { Qt::Key_Shift, Qt::ShiftModifier }, { Qt::Key_Control, Qt::ControlModifier },
              { Qt::Key_Alt, Qt::AltModifier }, { Qt::Key_Return, Qt::NoModifier } },
            -1, "" },
        { { { Qt::Key_Shift, Qt::ShiftModifier },
              { Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier } },
            QDialog::Accepted, "Ctrl+Shift+F1" },
        { { { Qt::Key_Escape, Qt::NoModifier } }, QDialog::Rejected, "" },
        { { { Qt::Key_Exclam, Qt::ShiftModifier } }, QDialog::Accepted, "Shift+1" },
        { { { Qt::Key_Plus, Qt::KeypadModifier } }, QDialog::Accepted, "Num +" },
        { { { Qt::Key_Tab, Qt::AltModifier } }, QDialog::Accepted, "Alt+Tab" },
    };
    for (const auto& c : cases) {
        LKeyChangeDlg dlg(nullptr);
        int iFinished = -1;
        QObject::connect(&dlg, &QDialog::finished, [&](int i) { iFinished = i; });
        for (const auto& [iKey, mods] : c.presses)
            QTest::keyClick(&dlg, Qt::Key(iKey), mods);
        EXPECT_EQ(iFinished, c.iResult) << c.szKey;
        EXPECT_EQ(LVirtualKeys::KeyName(dlg.GetKey()), dlg.GetKey() ? c.szKey : "0x00");
        Qt::KeyboardModifiers mods;
        if (dlg.GetKey()) {
            const int iQt = LQtVirtualKeys::ToQtKey(dlg.GetKey(), mods);
            EXPECT_EQ(LQtVirtualKeys::FromKey(iQt, mods), dlg.GetKey()) << "and back";
        }
    }
}

// The pages' widgets reach the stored values; every value's load and store
// is checked in tests/features/SettingsPagesTest.cpp.
TEST_F(SettingsSheetTest, PagesShowStoredValuesAndStoreWhatOkTakes)
{
    LSettings::Get().SetInt("Settings", "AutoTrimThreshold", -30);
    std::vector<QStringList> xdgCalls;
    auto oldXdg = LGeneralPage::fnXdgMime;
    LGeneralPage::fnXdgMime = [&](const QStringList& args) {
        xdgCalls.push_back(args);
        return true;
    };
    Settings([&](LSettingsSheet& sheet) {
        LGeneralPage& g = sheet.GetGeneral();
        EXPECT_FALSE(g.findChild<QCheckBox*>("111")->isChecked()) << "PlayWhenOpen=0";
        EXPECT_FALSE(g.findChild<QPushButton*>("107")->isEnabled());
        EXPECT_EQ(sheet.GetAudio().findChild<QSpinBox*>("103")->value(), -30);
        g.findChild<QRadioButton*>("106")->setChecked(true);
        EXPECT_TRUE(g.findChild<QPushButton*>("107")->isEnabled());
        script.Then(ModalScript::Fill({ { "DefaultSampleRate", "22050" } }, { "Stereo (Dual)" }));
        g.findChild<QPushButton*>("107")->click();
        for (QCheckBox* p : g.findChildren<QCheckBox*>())
            p->setChecked(
                p->objectName() == "101" || p->objectName() == "109" || p->objectName() == "111");
        sheet.GetAudio().findChild<QSpinBox*>("103")->setValue(-14);
        return int(QDialog::Accepted);
    });
    LGeneralPage::fnXdgMime = oldXdg;
    LSettings& s = LSettings::Get();
    EXPECT_FALSE(s.GetBool("Settings", "PromptSampleAndChannels", true));
    EXPECT_EQ(s.GetInt("Settings", "DefaultSampleRate", 0), 22050);
    EXPECT_EQ(s.GetInt("Settings", "DefaultChannels", 0), 2);
    EXPECT_TRUE(s.GetBool("Settings", "PlayWhenOpen", false));
    EXPECT_FALSE(s.GetBool("Settings", "DefaultRunMp3", true));
    EXPECT_EQ(s.GetInt("Settings", "AutoTrimThreshold", 0), -14);
    // The checked types' MIME types go to the desktop, one call.
    ASSERT_EQ(xdgCalls.size(), 1u);
    EXPECT_EQ(xdgCalls[0].mid(0, 2), (QStringList { "default", LGeneralPage::kDesktopFile }));
    EXPECT_EQ(xdgCalls[0].size(), 4) << xdgCalls[0].join(' ').toStdString(); // wav, aiff
}

TEST_F(SettingsSheetTest, WorkingFolderIsCheckedAndAChangeAsksToShutDown)
{
    auto SetFolder = [](const std::string& str, int iAnswer) {
        return [str, iAnswer](QDialog& d) {
            d.findChild<QLineEdit*>("105")->setText(QString::fromStdString(str));
            return iAnswer;
        };
    };
    // A relative folder is refused and the sheet shows again.
    script.Then(SetFolder("relative/folder", QDialog::Accepted));
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    script.Then(SetFolder(dir.File("work"), QDialog::Accepted));
    script.Then(ModalScript::Answer(QMessageBox::Cancel));
    w->Action(CM_SETTINGS)->trigger();
    ASSERT_EQ(script.seen.size(), 4u);
    EXPECT_EQ(script.seen[1].strTitle, "Error");
    EXPECT_EQ(script.seen[3].strTitle, "Shut Down Required");
    EXPECT_TRUE(script.seen[3].strText.startsWith("Orvenna will now close because you changed"));
    EXPECT_EQ(LSettings::Get().GetString("Settings", "WorkingFolder"), dir.File("work"));
    EXPECT_NE(w->GetController().GetCurrentFile(), nullptr) << "Cancel keeps it running";
}

TEST_F(SettingsSheetTest, CheckedFileTypeBecomesTheDesktopsChoice)
{
    if (TestSupport::FindProgram("xdg-mime").empty())
        GTEST_SKIP() << "xdg-mime is not installed";
    const std::string strOldData = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    std::filesystem::create_directories(dir.File("data/applications"));
    std::filesystem::create_directories(dir.File("config"));
    // xdg-mime names a desktop file only when its program can be found.
    const std::string strEntry = "[Desktop Entry]\nType=Application\nName=O\nExec=true %F\n";
    TestSupport::WriteAll(dir.File(std::string("data/applications/") + LGeneralPage::kDesktopFile),
        std::vector<uint8_t>(strEntry.begin(), strEntry.end()));
    Settings([](LSettingsSheet& sheet) {
        for (QCheckBox* p : sheet.GetGeneral().findChildren<QCheckBox*>())
            p->setChecked(p->objectName() == "101");
        return int(QDialog::Accepted);
    });
    std::string strOut;
    EXPECT_EQ(TestSupport::Run({ "xdg-mime", "query", "default", "audio/x-wav" }, &strOut), 0);
    EXPECT_EQ(strOut, std::string(LGeneralPage::kDesktopFile) + "\n");
    setenv("XDG_DATA_HOME", strOldData.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}
