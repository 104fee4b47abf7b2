#include "app/LSettingsSheet.h"

#include "app/LAudioProcessPage.h"
#include "app/LGeneralPage.h"
#include "app/LKeysPage.h"
#include "app/LModalRunner.h"
#include "engine/MainDialogUi.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

LSettingsSheet::LSettingsSheet(
    MainDialogUi& ui, LKeyMacros& live, const LCommandTable& table, QWidget* pParent)
    : QDialog(pParent)
    , ui(ui)
    , live(live)
    , edited(live)
    , pTabs(new QTabWidget)
{
    setWindowTitle("Settings");
    setMinimumWidth(520); // room for the working folder's path
    // The page shows the file as it is now.
    std::string strError;
    if (!edited.Read(LKeyMacros::DefaultPath(), strError))
        ui.ShowMessage(strError, "File Error", LFilePrompts::Icon::Stop);
    pGeneral = new LGeneralPage(ui);
    pAudio = new LAudioProcessPage;
    pKeys = new LKeysPage(edited, table);
    pTabs->addTab(pGeneral, "General");
    pTabs->addTab(pAudio, "Audio Processing");
    pTabs->addTab(pKeys, "Keys");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pTabs);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool LSettingsSheet::Run(bool& bFolderChanged)
{
    bFolderChanged = false;
    while (LModalRunner::Exec(*this) == QDialog::Accepted)
        if (Apply(bFolderChanged))
            return true;
    return false;
}

bool LSettingsSheet::Apply(bool& bFolderChanged)
{
    // A refusal stores nothing of its page; what was stored before stays,
    // and so does the news of a changed folder.
    bool bChanged = false;
    std::string strError;
    if (!pAudio->Apply(bChanged, strError)) {
        ui.ShowMessage(strError, "Error", LFilePrompts::Icon::Stop);
        pTabs->setCurrentWidget(pAudio);
        return false;
    }
    bFolderChanged = bFolderChanged || bChanged;
    if (!edited.Write(LKeyMacros::DefaultPath())) {
        ui.ShowMessage(
            "Orvenna cannot open this file. The file does not exist or may be corrupted.",
            "File Error", LFilePrompts::Icon::Information);
        pTabs->setCurrentWidget(pKeys);
        return false;
    }
    live = edited;
    pGeneral->Apply();
    return true;
}
