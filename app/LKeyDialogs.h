#pragma once

#include "features/LKeyMacros.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class LCommandTable;
class QLabel;
class QListWidget;

// "Press Key": the first key pressed with its modifiers closes the dialog
// and is the result. Shift, Ctrl and Alt alone are not keys; Enter is not
// taken; Escape cancels.
class LKeyChangeDlg : public QDialog {
    Q_OBJECT
public:
    explicit LKeyChangeDlg(QWidget* pParent);
    uint32_t GetKey() const { return uKey; }
    // Asks for a key; false on Cancel.
    static bool Ask(QWidget* pParent, uint32_t& uKey);

protected:
    bool event(QEvent* pEvent) override;

private:
    uint32_t uKey = 0;
};

// The command-list dialog: the commands offered, several may be chosen;
// OK (or a double-click) gives the chosen ones in list order.
class AddKeysCommandDlg : public QDialog {
    Q_OBJECT
public:
    AddKeysCommandDlg(const QString& strText, const LCommandTable& table, QWidget* pParent);
    std::vector<uint32_t> GetChosen() const;

private:
    QListWidget* pList;
    std::vector<uint32_t> vecIds;
};

// "Select Keys/Macros": one macro's key and commands, edited on a copy that
// Take hands back after OK.
class SelectKeysMacroDlg : public QDialog {
    Q_OBJECT
public:
    SelectKeysMacroDlg(const LOVMacroKeys& macro, const LCommandTable& table, QWidget* pParent);
    const LOVMacroKeys& Take() const { return edited; }

private:
    void Refresh();
    void CmChange();
    void CmAdd();
    void CmRemove();

    LOVMacroKeys edited;
    const LCommandTable& table;
    QLabel* pKeyName;
    QListWidget* pList;
};
