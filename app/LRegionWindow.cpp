#include "app/LRegionWindow.h"

#include "app/LListTexts.h"
#include "features/ProjectDialog.h"
#include "platform/LFile.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

bool LRegionPlayer::Toggle(const LOVRegion* pRegion)
{
    if (transport.IsOpen() || !pRegion) {
        transport.Stop();
        return false;
    }
    doc.claAudio = pRegion->claAudio;
    doc.sSelStart = doc.sSelEnd = doc.sPosition = 0;
    transport.Play(doc, 0);
    return transport.IsOpen();
}

void FillRegionList(QTreeWidget& list, const std::vector<LOVRegion>& regions)
{
    list.clear();
    for (const LOVRegion& r : regions) {
        auto* pItem = new QTreeWidgetItem(&list,
            { QString::fromStdString(r.szName),
                LListTexts::Time(r.iStart) + "-" + LListTexts::Time(r.iEnd),
                QString::fromStdString(LFile::GetFileName(r.szFile)) });
        pItem->setFlags(pItem->flags() | Qt::ItemIsEditable);
    }
}

LRegionWindow::LRegionWindow(ProjectDialog& project, std::function<void()> fnAssemble)
    : project(project)
    , fnAssemble(std::move(fnAssemble))
    , pList(new QTreeWidget)
{
    setWindowTitle("Region List");
    pList->setObjectName("RegionList");
    pList->setRootIsDecorated(false);
    pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pList->setEditTriggers(QAbstractItemView::EditKeyPressed);
    pList->setHeaderLabels({ "Name", "Time", "File" });
    for (auto [iColumn, iWidth] : { std::pair { 0, 200 }, { 1, 120 }, { 2, 110 } })
        pList->setColumnWidth(iColumn, iWidth);
    auto* pButtons = new QHBoxLayout;
    auto Button = [&](const char* szText, void (LRegionWindow::*fn)()) {
        auto* p = new QPushButton(szText);
        connect(p, &QPushButton::clicked, this, fn);
        pButtons->addWidget(p);
        return p;
    };
    pPlay = Button("&Play", &LRegionWindow::Play);
    rowButtons = { pPlay, Button("&Rename", &LRegionWindow::Rename),
        Button("&Delete", &LRegionWindow::Delete) };
    listButtons = { Button("Delete All", &LRegionWindow::DeleteAll) };
    rowButtons.push_back(Button("Save", &LRegionWindow::Save));
    rowButtons.push_back(Button("Copy To New", &LRegionWindow::CopyToNew));
    auto* pAssemble = new QPushButton("Assemble");
    connect(pAssemble, &QPushButton::clicked, this, [this] { this->fnAssemble(); });
    pButtons->addWidget(pAssemble);
    listButtons.push_back(pAssemble);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(4, 4, 4, 4);
    pLayout->addWidget(pList);
    pLayout->addLayout(pButtons);

    player.Transport().onState = [this](bool bOpen) { pPlay->setText(bOpen ? "Stop" : "&Play"); };
    connect(pList, &QTreeWidget::itemSelectionChanged, this, &LRegionWindow::UpdateButtons);
    connect(pList, &QTreeWidget::itemDoubleClicked, this, [this] { Play(); });
    connect(pList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* pItem, int iColumn) {
        if (!bFilling && iColumn == 0)
            this->project.RenameRegion(
                size_t(pList->indexOfTopLevelItem(pItem)), pItem->text(0).toStdString());
    });
    pList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pList, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pt) {
        const bool bRow = !Selected().empty(), bAny = pList->topLevelItemCount() > 0;
        QMenu menu("Region", this);
        menu.addAction(pPlay->text(), this, &LRegionWindow::Play)->setEnabled(bRow);
        menu.addAction("&Rename", this, &LRegionWindow::Rename)->setEnabled(bRow);
        menu.addAction("&Delete", this, &LRegionWindow::Delete)->setEnabled(bRow);
        menu.addAction("Delete All", this, &LRegionWindow::DeleteAll)->setEnabled(bAny);
        menu.addAction("Save", this, &LRegionWindow::Save)->setEnabled(Selected().size() == 1);
        menu.addAction("Copy To New", this, &LRegionWindow::CopyToNew)->setEnabled(bRow);
        menu.addAction("Assemble", this, [this] { this->fnAssemble(); })->setEnabled(bAny);
        menu.exec(pList->viewport()->mapToGlobal(pt));
    });
    Refill();
}

LRegionWindow::~LRegionWindow()
{
    player.Transport().onState = nullptr;
    player.Stop();
}

void LRegionWindow::Refill()
{
    bFilling = true;
    std::vector<size_t> keep = Selected();
    FillRegionList(*pList, project.GetRegions());
    for (size_t i : keep)
        if (QTreeWidgetItem* p = pList->topLevelItem(int(i)))
            p->setSelected(true);
    bFilling = false;
    UpdateButtons();
}

std::vector<size_t> LRegionWindow::Selected() const
{
    std::vector<size_t> v;
    for (int i = 0; i < pList->topLevelItemCount(); ++i)
        if (pList->topLevelItem(i)->isSelected())
            v.push_back(size_t(i));
    return v;
}

void LRegionWindow::UpdateButtons()
{
    const size_t iSelected = Selected().size();
    for (QPushButton* p : rowButtons)
        p->setEnabled(iSelected > 0);
    // Save writes one region to one file.
    rowButtons[3]->setEnabled(iSelected == 1);
    pPlay->setEnabled(iSelected > 0 || player.Transport().IsOpen());
    for (QPushButton* p : listButtons)
        p->setEnabled(pList->topLevelItemCount() > 0);
}

void LRegionWindow::Play()
{
    std::vector<size_t> v = Selected();
    player.Toggle(v.empty() ? nullptr : &project.GetRegions()[v.front()]);
}

void LRegionWindow::Rename()
{
    std::vector<size_t> v = Selected();
    if (!v.empty()) {
        pList->setFocus();
        pList->editItem(pList->topLevelItem(int(v.front())), 0);
    }
}

void LRegionWindow::Delete()
{
    player.Stop();
    project.DeleteRegions(Selected());
}

void LRegionWindow::DeleteAll()
{
    player.Stop();
    project.DeleteAllRegions();
}

void LRegionWindow::Save()
{
    std::vector<size_t> v = Selected();
    player.Stop();
    if (v.size() == 1)
        project.SaveRegion(v.front());
}

void LRegionWindow::CopyToNew()
{
    for (size_t i : Selected())
        project.CopyRegionToNew(i);
}
