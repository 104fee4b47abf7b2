// The bookmark and region windows, the caption of an open project, the
// files that open as projects, and the offer of documents a crash left.
#include "app/LAssembleDlg.h"
#include "app/LBookMarkWindow.h"
#include "app/LMDIMainWindow.h"
#include "app/LModalRunner.h"
#include "app/LOVIcons.h"
#include "app/LRegionWindow.h"
#include "audio/LSoundTime.h"
#include "features/LBookMarkList.h"
#include "platform/LFile.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {
// A list window: closing it forgets it and takes its menu items away.
QMdiSubWindow* AddListWindow(
    QMdiArea& area, QWidget* pWidget, QObject& owner, std::function<void()> fnClosed)
{
    auto* pSub = new QMdiSubWindow;
    pSub->setWidget(pWidget);
    pSub->setAttribute(Qt::WA_DeleteOnClose);
    pSub->setWindowTitle(pWidget->windowTitle());
    pSub->setWindowIcon(LOVIcons::Get(LOVIcons::Program));
    QObject::connect(pWidget, &QObject::destroyed, &owner, [fnClosed] { fnClosed(); });
    area.addSubWindow(pSub);
    // In the lower right corner of the client area, whole.
    const QSize client = area.viewport()->size();
    const int iWidth = std::min(560, client.width()), iHeight = std::min(300, client.height());
    pSub->setGeometry(std::max(0, client.width() - iWidth), std::max(0, client.height() - iHeight),
        iWidth, iHeight);
    pSub->show();
    return pSub;
}

void Activate(QWidget* pWidget)
{
    if (pWidget && pWidget->parentWidget())
        if (auto* pSub = qobject_cast<QMdiSubWindow*>(pWidget->parentWidget()))
            pSub->mdiArea()->setActiveSubWindow(pSub);
}
} // namespace

std::vector<LCommand> LMDIMainWindow::ListCommands()
{
    auto OnMarks = [this](std::function<void(LBookMarkWindow&)> fn) {
        return [this, fn] {
            if (pBookMarks)
                fn(*pBookMarks);
        };
    };
    auto OnRegions = [this](std::function<void(LRegionWindow&)> fn) {
        return [this, fn] {
            if (pRegions)
                fn(*pRegions);
        };
    };
    return {
        { CM_GOTOBOOKMARK, "Go To Bookmark", "Go To Bookmark", nullptr,
            "Goes to the selected bookmark.", 0, nullptr, 0,
            OnMarks(std::mem_fn(&LBookMarkWindow::GoTo)) },
        { CM_RENAMEBOOKMARK, "Rename Bookmark", "Rename Bookmark", nullptr,
            "Renames the selected bookmark.", 0, nullptr, 0,
            OnMarks(std::mem_fn(&LBookMarkWindow::Rename)) },
        { CM_DELETEBOOKMARK, "Delete Bookmark", "Delete Bookmark", nullptr,
            "Deletes the selected bookmarks.", 0, nullptr, 0,
            OnMarks(std::mem_fn(&LBookMarkWindow::Delete)) },
        { CM_DELETEALLBOOKMARKS, "Delete All Bookmarks", "Delete All Bookmark(s)", nullptr,
            "Deletes every bookmark.", 0, nullptr, 0,
            OnMarks(std::mem_fn(&LBookMarkWindow::DeleteAll)) },
        { CM_PLAYREGION, "Play Region", "Play Region", nullptr, "Plays the selected region.", 0,
            nullptr, 0, OnRegions(std::mem_fn(&LRegionWindow::Play)) },
        { CM_RENAMEREGION, "Rename Region", "Rename Region", nullptr,
            "Renames the selected region.", 0, nullptr, 0,
            OnRegions(std::mem_fn(&LRegionWindow::Rename)) },
        { CM_DELETEREGION, "Delete Regions", "Delete Region(s)", nullptr,
            "Deletes the selected regions.", 0, nullptr, 0,
            OnRegions(std::mem_fn(&LRegionWindow::Delete)) },
        { CM_DELETEALLREGIONS, "Delete All Regions", "Delete All Regions", nullptr,
            "Deletes every region.", 0, nullptr, 0,
            OnRegions(std::mem_fn(&LRegionWindow::DeleteAll)) },
        { CM_SAVEREGION, "Save Region", "Save Region", nullptr,
            "Saves the selected region to a file.", 0, nullptr, 0,
            OnRegions(std::mem_fn(&LRegionWindow::Save)) },
        { CM_COPYREGIONTONEW, "Copy Region to New File", "Copy Region to New File", nullptr,
            "Opens a copy of each selected region as a new file.", 0, nullptr, 0,
            OnRegions(std::mem_fn(&LRegionWindow::CopyToNew)) },
    };
}

void LMDIMainWindow::ShowListItems()
{
    for (int iId : { CM_GOTOBOOKMARK, CM_RENAMEBOOKMARK, CM_DELETEBOOKMARK, CM_DELETEALLBOOKMARKS })
        if (QAction* p = Action(iId))
            p->setVisible(pBookMarks != nullptr);
    for (int iId : { CM_PLAYREGION, CM_RENAMEREGION, CM_DELETEREGION, CM_DELETEALLREGIONS,
             CM_SAVEREGION, CM_COPYREGIONTONEW })
        if (QAction* p = Action(iId))
            p->setVisible(pRegions != nullptr);
}

bool LMDIMainWindow::AskText(const std::string& strCaption, std::string& strText)
{
    QInputDialog box(this);
    box.setWindowTitle(QString::fromStdString(strCaption));
    box.setLabelText("Name:");
    box.setTextValue(QString::fromStdString(strText));
    if (LModalRunner::Exec(box) != QDialog::Accepted)
        return false;
    strText = box.textValue().toStdString();
    return !strText.empty();
}

void LMDIMainWindow::ListsChanged()
{
    // Refilled once the command (or the edit in a list) is done.
    if (bRefillPending)
        return;
    bRefillPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            bRefillPending = false;
            if (pBookMarks)
                pBookMarks->Refill();
            if (pRegions)
                pRegions->Refill();
        },
        Qt::QueuedConnection);
}

void LMDIMainWindow::ProjectChanged(const std::string& strPath)
{
    setWindowTitle(strPath.empty()
            ? QString("Orvenna")
            : QString("Orvenna - %1").arg(QString::fromStdString(LFile::GetFileName(strPath))));
}

void LMDIMainWindow::OpenBookMarkWindow()
{
    if (!pBookMarks) {
        pBookMarks = new LBookMarkWindow(project);
        AddListWindow(*pMdiArea, pBookMarks, *this, [this] {
            pBookMarks = nullptr;
            ShowListItems();
        });
        ShowListItems();
    }
    Activate(pBookMarks);
}

void LMDIMainWindow::OpenRegionWindow()
{
    if (!pRegions) {
        pRegions = new LRegionWindow(project, [this] { OpenAssembly(); });
        AddListWindow(*pMdiArea, pRegions, *this, [this] {
            pRegions = nullptr;
            ShowListItems();
        });
        ShowListItems();
    }
    Activate(pRegions);
}

void LMDIMainWindow::OpenAssembly()
{
    if (project.GetRegions().empty())
        return;
    playback.Stop();
    LAssembleDlg box(project, this);
    LModalRunner::Exec(box);
    FileApply();
}

void LMDIMainWindow::OpenPath(const QString& strPath)
{
    const std::string strFull = QFileInfo(strPath).absoluteFilePath().toStdString();
    if (LFile::GetExtensionLower(strFull) == ".ovp")
        project.LoadProject(strFull);
    else
        dialog.LoadFile(strFull, false, true);
}

void LMDIMainWindow::OfferRecovery()
{
    std::vector<LRecoverySet> sets = LRecovery::Find();
    if (sets.empty())
        return;
    QDialog box(this);
    box.setWindowTitle("Recover");
    auto* pList = new QTreeWidget;
    pList->setObjectName("RecoverList");
    pList->setRootIsDecorated(false);
    pList->setHeaderLabels({ "Name", "Length", "Last Edit" });
    pList->setColumnWidth(0, 260);
    std::vector<std::pair<size_t, size_t>> rows;
    QString strProblems;
    for (size_t s = 0; s < sets.size(); ++s) {
        if (!sets[s].strProblem.empty())
            strProblems += QString::fromStdString(sets[s].strProblem) + "\n";
        for (size_t d = 0; d < sets[s].docs.size(); ++d) {
            const LRecoveredDocument& doc = sets[s].docs[d];
            auto* pItem = new QTreeWidgetItem(pList,
                { QString::fromStdString(doc.strName),
                    QString::fromStdString(
                        LSoundTime(LSoundTime::FramesToMs(int32_t(doc.iFrames), doc.iRate))
                            .GetHundredthsText()),
                    QDateTime::fromSecsSinceEpoch(sets[s].iTime).toString("yyyy-MM-dd hh:mm:ss") });
            pItem->setCheckState(0, Qt::Checked);
            rows.emplace_back(s, d);
        }
    }
    auto* pLayout = new QVBoxLayout(&box);
    pLayout->addWidget(new QLabel("Orvenna ended without closing. These documents had changes "
                                  "that were not saved.\nChecked documents open again; the others "
                                  "are deleted. \"Later\" keeps them all for the next start."));
    pLayout->addWidget(pList);
    if (!strProblems.isEmpty())
        pLayout->addWidget(new QLabel(strProblems.trimmed()));
    auto* pButtons = new QDialogButtonBox;
    pButtons->addButton("Recover", QDialogButtonBox::AcceptRole);
    pButtons->addButton("Later", QDialogButtonBox::RejectRole);
    connect(pButtons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    pLayout->addWidget(pButtons);
    box.resize(560, 320);
    if (LModalRunner::Exec(box) != QDialog::Accepted)
        return;
    std::string strNotes;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (pList->topLevelItem(int(i))->checkState(0) != Qt::Checked)
            continue;
        const LRecoverySet& set = sets[rows[i].first];
        std::string strProblem;
        std::unique_ptr<LOVFile> pDoc = LRecovery::Take(set, set.docs[rows[i].second], strProblem);
        if (pDoc->szFilePath.empty())
            pDoc->iUntitledIdx = dialog.GetUntitledIdx();
        const std::string strName = pDoc->GetDisplayName();
        dialog.AddDocument(std::move(pDoc));
        for (LOVBookMark b : set.docs[rows[i].second].marks) {
            b.szFile = strName;
            project.GetBookMarks().Append(std::move(b));
        }
        if (!strProblem.empty())
            strNotes += strProblem + "\n";
    }
    // The recovered documents are in this session's journal now.
    journal.Write();
    ListsChanged();
    for (const LRecoverySet& set : sets)
        LRecovery::Discard(set);
    if (!strNotes.empty())
        ShowMessage(strNotes, "Recover", Icon::Exclamation);
    FileApply();
}
