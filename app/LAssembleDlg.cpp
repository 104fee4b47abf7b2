#include "app/LAssembleDlg.h"

#include "features/ProjectDialog.h"
#include "platform/LSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <climits>

bool AskAssembleOptions(QWidget* pParent)
{
    LSettings& s = LSettings::Get();
    QDialog dlg(pParent);
    dlg.setWindowTitle("Assemble Option");
    auto* pGap = new QCheckBox("AutoGap");
    pGap->setChecked(s.GetBool("Settings", "AutoGap", true));
    auto* pMs = new QSpinBox;
    pMs->setRange(INT_MIN, INT_MAX);
    pMs->setValue(s.GetInt("Settings", "AutoGapTime", 300));
    pMs->setEnabled(pGap->isChecked());
    QObject::connect(pGap, &QCheckBox::toggled, pMs, &QSpinBox::setEnabled);
    auto* pBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(pBox, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(pBox, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* pForm = new QFormLayout(&dlg);
    pForm->addRow(pGap);
    pForm->addRow("Insert silence between regions (ms)", pMs);
    pForm->addRow(pBox);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    s.SetBool("Settings", "AutoGap", pGap->isChecked());
    s.SetInt("Settings", "AutoGapTime", pMs->value());
    return true;
}

LAssembleDlg::LAssembleDlg(ProjectDialog& project, QWidget* pParent)
    : QDialog(pParent)
    , project(project)
    , pRegions(new QTreeWidget)
    , pOrder(new QTreeWidget)
{
    setWindowTitle("Assemble Region(s)");
    for (QTreeWidget* p : { pRegions, pOrder }) {
        p->setRootIsDecorated(false);
        p->setSelectionMode(QAbstractItemView::ExtendedSelection);
        p->setHeaderLabels({ "Name", "Time", "File" });
        p->setColumnWidth(0, 200);
        p->setColumnWidth(1, 120);
        connect(p, &QTreeWidget::itemSelectionChanged, this, &LAssembleDlg::UpdateButtons);
    }
    pRegions->setObjectName("RegionList");
    pOrder->setObjectName("AssemblingRegionList");
    FillRegionList(*pRegions, project.GetRegions());
    auto* pAdd = new QPushButton("<< Add");
    auto* pRemove = new QPushButton("Remove >>");
    pPlay = new QPushButton("Play");
    auto* pOptions = new QPushButton("Options");
    connect(pAdd, &QPushButton::clicked, this, &LAssembleDlg::Add);
    connect(pRemove, &QPushButton::clicked, this, &LAssembleDlg::Remove);
    connect(pOptions, &QPushButton::clicked, this, [this] { AskAssembleOptions(this); });
    auto Play = [this] {
        auto v = pRegions->selectedItems();
        player.Toggle(v.isEmpty()
                ? nullptr
                : &this->project.GetRegions()[size_t(pRegions->indexOfTopLevelItem(v.front()))]);
    };
    connect(pPlay, &QPushButton::clicked, this, Play);
    connect(pRegions, &QTreeWidget::itemDoubleClicked, this, Play);
    player.Transport().onState = [this](bool bOpen) { pPlay->setText(bOpen ? "Stop" : "Play"); };
    auto* pBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pOk = pBox->button(QDialogButtonBox::Ok);
    connect(pBox, &QDialogButtonBox::accepted, this, &LAssembleDlg::accept);
    connect(pBox, &QDialogButtonBox::rejected, this, &LAssembleDlg::reject);

    auto* pMiddle = new QVBoxLayout;
    for (QPushButton* p : { pAdd, pRemove, pPlay, pOptions })
        pMiddle->addWidget(p);
    pMiddle->addStretch();
    auto* pGrid = new QGridLayout(this);
    pGrid->addWidget(new QLabel("Assembling Region List"), 0, 0);
    pGrid->addWidget(new QLabel("Region List"), 0, 2);
    pGrid->addWidget(pOrder, 1, 0);
    pGrid->addLayout(pMiddle, 1, 1);
    pGrid->addWidget(pRegions, 1, 2);
    pGrid->addWidget(pBox, 2, 0, 1, 3);
    UpdateButtons();
}

LAssembleDlg::~LAssembleDlg()
{
    player.Transport().onState = nullptr;
    player.Stop();
}

void LAssembleDlg::Add()
{
    for (int i = 0; i < pRegions->topLevelItemCount(); ++i)
        if (pRegions->topLevelItem(i)->isSelected())
            order.push_back(project.GetRegions()[size_t(i)]);
    FillRegionList(*pOrder, order);
    UpdateButtons();
}

void LAssembleDlg::Remove()
{
    for (int i = pOrder->topLevelItemCount() - 1; i >= 0; --i)
        if (pOrder->topLevelItem(i)->isSelected())
            order.erase(order.begin() + i);
    FillRegionList(*pOrder, order);
    UpdateButtons();
}

void LAssembleDlg::UpdateButtons()
{
    pOk->setEnabled(!order.empty());
    pPlay->setEnabled(!pRegions->selectedItems().isEmpty());
}

void LAssembleDlg::accept()
{
    player.Stop();
    if (project.Assemble(order))
        QDialog::accept();
}
