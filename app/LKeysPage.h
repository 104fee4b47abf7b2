#pragma once

#include "features/LKeyMacros.h"

#include <QWidget>

class LCommandTable;
class QTreeWidget;

// The Settings sheet's "Keys" page: the user's key macros with Add, Remove
// and Change. It edits the list it is given (the sheet's copy), so Cancel
// leaves the macros in use as they were.
class LKeysPage : public QWidget {
    Q_OBJECT
public:
    LKeysPage(LKeyMacros& macros, const LCommandTable& table, QWidget* pParent = nullptr);
    QTreeWidget& GetList() const { return *pList; }

private:
    void Refresh();
    void CmAdd();
    void CmRemove();
    void CmChange();
    // Puts the macro at iAt (a new one when -1); a key another macro has is
    // taken from it only when the user agrees. False when nothing changed.
    bool Place(const LOVMacroKeys& macro, int iAt);
    std::vector<int> SelectedRows() const;

    LKeyMacros& macros;
    const LCommandTable& table;
    QTreeWidget* pList;
};
