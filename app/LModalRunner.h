#pragma once

#include <QDialog>
#include <functional>

// Runs every modal dialog of the editor window (message boxes, file dialogs,
// command dialogs, About). Tests install a hook that answers the dialog
// instead of waiting for a person; it returns the dialog's result code.
class LModalRunner {
public:
    using Hook = std::function<int(QDialog& dialog)>;

    static int Exec(QDialog& dialog);
    // An empty hook goes back to running the dialog.
    static void SetHook(Hook hook);
};
