#include "app/LBookMarkWindow.h"

#include "app/LListTexts.h"
#include "features/ProjectDialog.h"

#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

LBookMarkWindow::LBookMarkWindow(ProjectDialog& project)
    : project(project)
    , pList(new QTreeWidget)
{
    setWindowTitle("Bookmark List");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(4, 4, 4, 4);
    pLayout->addWidget(pList);
    pList->setObjectName("BookmarkList");
    pList->setRootIsDecorated(false);
    pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pList->setEditTriggers(QAbstractItemView::EditKeyPressed);
    pList->setHeaderLabels({ "Name", "Time", "Times Visited", "Last Visited" });
    pList->header()->setStretchLastSection(false);
    pList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (auto [iColumn, iWidth] : { std::pair { 1, 130 }, { 2, 115 }, { 3, 140 } })
        pList->setColumnWidth(iColumn, iWidth);
    pList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pList, &QTreeWidget::customContextMenuRequested, this, &LBookMarkWindow::ShowMenu);
    connect(pList, &QTreeWidget::itemDoubleClicked, this, [this] { GoTo(); });
    connect(pList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* pItem, int iColumn) {
        if (bFilling || iColumn != 0)
            return;
        const std::string strName = pItem->text(0).toStdString();
        // An empty name is not taken: the row shows the old one again.
        if (strName.empty())
            Refill();
        else
            this->project.RenameBookMark(size_t(pList->indexOfTopLevelItem(pItem)), strName);
    });
    Refill();
}

void LBookMarkWindow::Refill()
{
    bFilling = true;
    std::vector<size_t> keep = Selected();
    pList->clear();
    for (const LOVBookMark& b : project.GetBookMarks().Items()) {
        auto* pItem = new QTreeWidgetItem(pList,
            { QString::fromStdString(b.szName), LListTexts::Time(b.iPosition),
                QString::number(b.bTimesVisited), LListTexts::Date(b.uLastVisited) });
        pItem->setFlags(pItem->flags() | Qt::ItemIsEditable);
    }
    for (size_t i : keep)
        if (QTreeWidgetItem* p = pList->topLevelItem(int(i)))
            p->setSelected(true);
    bFilling = false;
}

std::vector<size_t> LBookMarkWindow::Selected() const
{
    std::vector<size_t> v;
    for (int i = 0; i < pList->topLevelItemCount(); ++i)
        if (pList->topLevelItem(i)->isSelected())
            v.push_back(size_t(i));
    return v;
}

void LBookMarkWindow::GoTo()
{
    std::vector<size_t> v = Selected();
    if (!v.empty())
        project.GoToBookMark(v.front());
}

void LBookMarkWindow::Rename()
{
    std::vector<size_t> v = Selected();
    if (v.empty())
        return;
    pList->setFocus();
    pList->editItem(pList->topLevelItem(int(v.front())), 0);
}

void LBookMarkWindow::Delete()
{
    project.DeleteBookMarks(Selected());
}

void LBookMarkWindow::DeleteAll()
{
    project.DeleteAllBookMarks();
}

void LBookMarkWindow::ShowMenu(const QPoint& pt)
{
    const bool bRow = !Selected().empty(), bAny = pList->topLevelItemCount() > 0;
    QMenu menu("Bookmark", this);
    menu.addAction("Go To Bookmark", this, &LBookMarkWindow::GoTo)->setEnabled(bRow);
    menu.addAction("&Rename", this, &LBookMarkWindow::Rename)->setEnabled(bRow);
    menu.addAction("&Delete", this, &LBookMarkWindow::Delete)->setEnabled(bRow);
    menu.addAction("Delete All", this, &LBookMarkWindow::DeleteAll)->setEnabled(bAny);
    menu.exec(pList->viewport()->mapToGlobal(pt));
}
