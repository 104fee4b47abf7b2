#pragma once

#include "engine/LCommandTable.h"
#include "features/LBatchConverter.h"

#include <QWizard>

// The batch converter (command 7003): files, the command list (a batch
// script), then the output format and folder; Finish runs the batch behind
// the progress window and shows the report of every file. User-interface
// thread only; the wizard owns its batch data until it closes.
class LBatchWizard : public QWizard {
public:
    explicit LBatchWizard(QWidget* pParent);
    // The main window's command that opens the wizard over pParent.
    static LCommand Command(QWidget* pParent);

    OVBatchConverter data;
    std::string strScriptPath; // "" for an untitled script
    bool bModified = false;
};
