// What the frame shows of its documents: the child windows, the window
// buttons and the Window menu, the time fields and status, and the recent
// files, as the controller reports changes.
#include "app/LLoudnessStatus.h"
#include "app/LMDIMainWindow.h"
#include "app/LOVFileWindow.h"
#include "app/LOVIcons.h"
#include "app/LOVWaveWindow.h"
#include "app/LRecentFiles.h"
#include "audio/LSoundTime.h"
#include "engine/LOVFile.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <ctime>

namespace {
// Ids of the Window menu's entries for the open documents.
constexpr int kFirstChildId = 11000;

QString ButtonText(const LOVFile& doc)
{
    if (doc.szFilePath.empty())
        return QString::fromStdString(doc.GetDisplayName());
    return QFileInfo(QString::fromStdString(doc.szFilePath)).completeBaseName();
}

std::string TimeText(int32_t iFrames, int32_t iRate)
{
    return LSoundTime(LSoundTime::FramesToMs(iFrames, iRate)).GetMillisecondsText();
}

// A document child window whose close box asks the main window instead of
// closing by itself: the document may have to be saved first.
class LMDIChild : public QMdiSubWindow {
public:
    std::function<void()> fnCloseRequested;
    bool bClosing = false;

protected:
    void closeEvent(QCloseEvent* pEvent) override
    {
        if (bClosing) {
            QMdiSubWindow::closeEvent(pEvent);
            return;
        }
        pEvent->ignore();
        if (fnCloseRequested)
            fnCloseRequested();
    }
};
} // namespace

void LMDIMainWindow::FileApply()
{
    EnableMenuOptions();
    EnablePlayerControls();
    UpdateWindowButtons();
    UpdateStatusRate();
    WavApply();
}

void LMDIMainWindow::UpdateStatusRate()
{
    const LOVFile* pDoc = dialog.GetCurrentFile();
    pLoudnessStatus->Measure(pDoc ? &pDoc->claAudio : nullptr);
    if (!pDoc) {
        pRateStatus->clear();
        return;
    }
    pRateStatus->setText(QString("Sample Rate: %1   %2")
                             .arg(pDoc->claAudio.GetSampleRate())
                             .arg(pDoc->claAudio.GetChannels() == 1 ? "Mono" : "Stereo"));
}

void LMDIMainWindow::UpdateFileLength()
{
    const LOVFile* pDoc = dialog.GetCurrentFile();
    mapFields[130]->setText(pDoc
            ? QString::fromStdString(TimeText(pDoc->GetLength(), pDoc->claAudio.GetSampleRate()))
            : QString());
}

void LMDIMainWindow::WavApply()
{
    LOVFileWindow* pWindow = CurrentWindow();
    if (!pWindow) {
        for (auto& [iId, pField] : mapFields)
            pField->clear();
        EnableMenuOptions();
        return;
    }
    pWindow->WavApply();
    UpdateFileLength();
    dialog.ApplySelection();
    EnableMenuOptions();
}

void LMDIMainWindow::UpdateWindowButtons()
{
    const auto& files = dialog.GetFiles();
    if (files.size() >= 29)
        return;
    for (QAbstractButton* pButton : pWindowButtonGroup->buttons())
        pWindowButtonGroup->removeButton(pButton);
    while (QLayoutItem* pItem = pWindowButtonLayout->takeAt(0)) {
        delete pItem->widget();
        delete pItem;
    }
    int iId = 134;
    for (const auto& pDoc : files) {
        if (iId > 160)
            break;
        auto* pButton = new QPushButton(ButtonText(*pDoc));
        pButton->setObjectName(QString::number(iId));
        pButton->setCheckable(true);
        pButton->setChecked(pDoc.get() == dialog.GetCurrentFile());
        pButton->setToolTip(QString::fromStdString(
            pDoc->szFilePath.empty() ? pDoc->GetDisplayName() : pDoc->szFilePath));
        pButton->setFocusPolicy(Qt::NoFocus);
        LOVFile* pTarget = pDoc.get();
        connect(pButton, &QPushButton::clicked, this, [this, pTarget]() {
            playback.Stop();
            dialog.Activate(pTarget);
        });
        pWindowButtonGroup->addButton(pButton, iId++);
        pWindowButtonLayout->addWidget(pButton);
    }
    pWindowButtonLayout->addStretch(1);
    pWindowButtons->setVisible(files.size() >= 2);
    LayoutControls();
}

void LMDIMainWindow::UpdateWindowMenu()
{
    QMenu* pWindow = menu.WindowMenu();
    for (QAction* pAction : pWindow->actions()) {
        if (pAction->data().toInt() >= kFirstChildId
            || pAction->property("childSeparator").toBool()) {
            pWindow->removeAction(pAction);
            delete pAction;
        }
    }
    if (dialog.GetFiles().empty())
        return;
    QAction* pSeparator = pWindow->addSeparator();
    pSeparator->setProperty("childSeparator", true);
    int n = 0;
    for (const auto& pDoc : dialog.GetFiles()) {
        auto* pAction = new QAction(
            QString("&%1 %2").arg(n + 1).arg(QString::fromStdString(pDoc->GetDisplayName())),
            pWindow);
        pAction->setData(kFirstChildId + n++);
        pAction->setCheckable(true);
        pAction->setChecked(pDoc.get() == dialog.GetCurrentFile());
        LOVFile* pTarget = pDoc.get();
        connect(pAction, &QAction::triggered, this, [this, pTarget]() {
            playback.Stop();
            dialog.Activate(pTarget);
        });
        pWindow->addAction(pAction);
    }
}

void LMDIMainWindow::LoadRecentFileList()
{
    QMenu* pFile = menu.FileMenu();
    for (QAction* pAction : pFile->actions()) {
        int iId = pAction->data().toInt();
        if (iId >= CM_RECENTFIRST && iId <= CM_RECENTSEPARATOR) {
            pFile->removeAction(pAction);
            delete pAction;
        }
    }
    std::vector<LRecentFiles::Entry> entries = LRecentFiles::Load();
    bool bAny = false;
    for (int n = 1; n <= LRecentFiles::kEntries; ++n) {
        const std::string strPath = entries[size_t(n - 1)].strPath;
        if (strPath.empty())
            continue;
        auto* pAction
            = new QAction(QString("&%1. %2").arg(n).arg(QString::fromStdString(strPath)), pFile);
        pAction->setData(CM_RECENTFIRST - 1 + n);
        connect(pAction, &QAction::triggered, this, [this, strPath]() {
            playback.Stop();
            dialog.LoadFile(strPath, false, true);
            FileApply();
        });
        connect(pAction, &QAction::hovered, this,
            [this]() { statusBar()->showMessage("Open the recent closed file.", 5000); });
        pFile->insertAction(menu.ExitAction(), pAction);
        bAny = true;
    }
    if (bAny) {
        QAction* pSeparator = new QAction(pFile);
        pSeparator->setSeparator(true);
        pSeparator->setData(CM_RECENTSEPARATOR);
        pFile->insertAction(menu.ExitAction(), pSeparator);
    }
}

void LMDIMainWindow::AddRecentFile(const std::string& strPath)
{
    LRecentFiles::Add(strPath, int64_t(std::time(nullptr)));
    LoadRecentFileList();
}

void LMDIMainWindow::DocumentOpened(LOVFile& doc)
{
    auto* pView = new LOVFileWindow(doc);
    auto* pSub = new LMDIChild;
    pSub->setWidget(pView);
    pSub->setWindowTitle(QString::fromStdString(doc.GetDisplayName()));
    pSub->setWindowIcon(LOVIcons::Get(LOVIcons::Program));
    LOVFile* pDoc = &doc;
    pSub->fnCloseRequested = [this, pDoc]() {
        // Closing destroys this window: leave its close event first.
        QMetaObject::invokeMethod(
            this,
            [this, pDoc]() {
                if (!mapWindows.count(pDoc))
                    return;
                dialog.Activate(pDoc);
                EvCommand(CM_FILECLOSE);
            },
            Qt::QueuedConnection);
    };
    connect(pView, &LOVFileWindow::WaveReleased, this,
        [this](LOVWaveWindow* p) { ApplyWaveSelection(p, true); });
    connect(pView, &LOVFileWindow::WaveSelectionChanging, this,
        [this](LOVWaveWindow* p) { ApplyWaveSelection(p, false); });
    connect(pView, &LOVFileWindow::RefreshRequested, this, [this, pView]() {
        if (pView == CurrentWindow())
            WavApply();
        else
            pView->WavApply();
    });
    connect(pView, &LOVFileWindow::ScrollMoved, this, [this, pView]() {
        if (pView == CurrentWindow())
            MoveTo(
                pView->GetScrollTarget(), QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
    connect(pView, &LOVFileWindow::ContextMenuRequested, this, [this, pDoc](const QPoint& pt) {
        dialog.Activate(pDoc);
        TrackWaveWindowMenu(pt);
    });
    mapWindows[&doc] = pSub;
    bActivating = true;
    pMdiArea->addSubWindow(pSub);
    // New windows cascade from the top left, as the frame's own Cascade does.
    const QSize area = pMdiArea->viewport()->size();
    const int iStep = pSub->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    const int iOffset = int((mapWindows.size() - 1) % 8) * iStep;
    pSub->setGeometry(iOffset, iOffset, std::max(320, area.width() * 3 / 4),
        std::max(200, area.height() * 3 / 4));
    pSub->show();
    bActivating = false;
}

void LMDIMainWindow::DocumentClosing(LOVFile& doc)
{
    auto it = mapWindows.find(&doc);
    if (it == mapWindows.end())
        return;
    auto* pSub = static_cast<LMDIChild*>(it->second);
    mapWindows.erase(it);
    bActivating = true;
    pSub->bClosing = true;
    delete pSub;
    bActivating = false;
}

void LMDIMainWindow::CurrentChanged(LOVFile* pDoc)
{
    if (pDoc) {
        QMdiSubWindow* pSub = GetSubWindow(*pDoc);
        if (pSub && pMdiArea->activeSubWindow() != pSub) {
            bActivating = true;
            pMdiArea->setActiveSubWindow(pSub);
            bActivating = false;
        }
    }
    FileApply();
}

void LMDIMainWindow::DocumentChanged(LOVFile& doc)
{
    if (QMdiSubWindow* pSub = GetSubWindow(doc)) {
        pSub->setWindowTitle(QString::fromStdString(doc.GetDisplayName()));
        auto* pWindow = static_cast<LOVFileWindow*>(pSub->widget());
        pWindow->SetSource();
        pWindow->WavApply();
    }
    if (&doc == dialog.GetCurrentFile()) {
        UpdateFileLength();
        UpdateStatusRate();
    }
    UpdateWindowButtons();
    EnableMenuOptions();
}

void LMDIMainWindow::SelectionChanged(LOVFile& doc)
{
    if (LOVFileWindow* pWindow = GetFileWindow(doc)) {
        pWindow->ShowSelection();
        pWindow->UpdateTime(doc.sPosition);
    }
}

void LMDIMainWindow::SetStatusField(int iId, const std::string& strText)
{
    if (QLabel* pField = GetField(iId))
        pField->setText(QString::fromStdString(strText));
    else
        UpdateStatusRate(); // the rate or channels changed
}
