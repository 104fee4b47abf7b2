#pragma once

#include "app/LRegionWindow.h"
#include "features/LOVRegion.h"

#include <QDialog>
#include <vector>

class ProjectDialog;
class QPushButton;
class QTreeWidget;

// "Assemble Region(s)": the region list on the right, the assembly order on
// the left ("<< Add" copies the selected regions there, a region may come
// several times), play, "Options" (AutoGap) and OK, which assembles into a
// new document and closes; a failed assembly keeps the dialog open. Modal,
// user-interface thread; the regions are copied.
class LAssembleDlg : public QDialog {
    Q_OBJECT
public:
    LAssembleDlg(ProjectDialog& project, QWidget* pParent);
    ~LAssembleDlg() override;
    void Add();
    void Remove();
    const std::vector<LOVRegion>& Order() const { return order; }
    void accept() override;

private:
    void UpdateButtons();
    ProjectDialog& project;
    QTreeWidget* pRegions;
    QTreeWidget* pOrder;
    QPushButton* pOk = nullptr;
    QPushButton* pPlay = nullptr;
    std::vector<LOVRegion> order;
    LRegionPlayer player;
};

// "Assemble Option": AutoGap and its length, shown and stored in Settings.
bool AskAssembleOptions(QWidget* pParent);
