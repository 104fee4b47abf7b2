#pragma once

#include "engine/LCommandTable.h"
#include "engine/LFilePrompts.h"
#include "features/LBatchConverter.h"

#include <QMessageBox>
#include <QWizard>

class QLayout;
class QPushButton;

// The batch converter (command 7003): files, the command list (a batch
// script), then the output format and folder; Finish runs the batch behind
// the progress window and shows the report of every file. User-interface
// thread only; the wizard owns its batch data until it closes.
class LBatchWizard : public QWizard {
public:
    // prompts: the main window's answers to the format dialogs.
    LBatchWizard(QWidget* pParent, LFilePrompts& prompts);
    // The main window's command that opens the wizard over pParent.
    static LCommand Command(QWidget* pParent, LFilePrompts& prompts);

    // The pages, each in its own file.
    static QWizardPage* MakeLSelectBatchFileDlg(LBatchWizard& wizard);
    static QWizardPage* MakeLSelectBatchCommandDlg(LBatchWizard& wizard);
    static QWizardPage* MakeLSelectSaveFormatDlg(LBatchWizard& wizard);
    // What the pages share: a Yes/No/Cancel question captioned "Orvenna" (the
    // button pressed), a message, and a button appended to a row.
    static int Ask(QWidget* pParent, const QString& strText);
    static void Tell(QWidget* pParent, QMessageBox::Icon icon, const QString& strCaption,
        const QString& strText);
    static QPushButton* Button(const char* szText, QLayout* pLayout);

    LFilePrompts& prompts;
    OVBatchConverter data;
    std::string strScriptPath; // "" for an untitled script
    bool bModified = false;
};
