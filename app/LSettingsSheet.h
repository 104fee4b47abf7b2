#pragma once

#include "features/LKeyMacros.h"

#include <QDialog>

class LAudioProcessPage;
class LCommandTable;
class LGeneralPage;
class LKeysPage;
class MainDialogUi;
class QTabWidget;

// The "Settings" sheet: the General, Audio Processing and Keys pages. The
// Keys page edits a copy of the macros read from keys.dat; OK stores every
// page, writes keys.dat and only then puts the copy in use.
class LSettingsSheet : public QDialog {
    Q_OBJECT
public:
    LSettingsSheet(
        MainDialogUi& ui, LKeyMacros& live, const LCommandTable& table, QWidget* pParent);
    // Shows the sheet until Cancel or until OK's values are taken (a page
    // that refuses them says why and the sheet shows again). True after
    // OK; bFolderChanged when the audio working folder is another one now.
    bool Run(bool& bFolderChanged);

    QTabWidget& GetTabs() const { return *pTabs; }
    LGeneralPage& GetGeneral() const { return *pGeneral; }
    LAudioProcessPage& GetAudio() const { return *pAudio; }
    LKeysPage& GetKeys() const { return *pKeys; }

private:
    bool Apply(bool& bFolderChanged);

    MainDialogUi& ui;
    LKeyMacros& live;
    LKeyMacros edited;
    QTabWidget* pTabs;
    LGeneralPage* pGeneral;
    LAudioProcessPage* pAudio;
    LKeysPage* pKeys;
};
