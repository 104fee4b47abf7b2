#include "app/LMDIMainWindow.h"
#include "app/LDBDisplay.h"
#include "app/LModalRunner.h"
#include "app/LOVFileWindow.h"
#include "app/LOVIcons.h"
#include "app/LOVWaveWindow.h"
#include "app/LQtProgressView.h"
#include "app/LRecentFiles.h"
#include "app/LSingleInstance.h"
#include "audio/LSoundTime.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <ctime>
#include <utility>

namespace {
const char* const kProgram = "Orvenna";
// Ids of the Window menu's entries for the open documents.
constexpr int kFirstChildId = 11000;
// Commands that need an open document.
bool NeedsDocument(int iId)
{
    return (iId >= 1003 && iId <= 1009) || (iId >= 2001 && iId <= 2021) || (iId >= 3002 && iId <= 3010) ||
           (iId >= 4001 && iId <= 4017) || (iId >= 5001 && iId <= 5012) || iId == 5040 || iId == 7001 ||
           iId == 8001 || iId == 8003 || iId == 8004;
}

// Commands that need a valid selection.
bool NeedsSelection(int iId)
{
    return iId == 2002 || iId == 2003 || iId == 2006 || iId == 2009 || iId == 2010 || iId == 2014 ||
           iId == 2021 || (iId >= 4001 && iId <= 4018);
}

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

LMDIMainWindow::LMDIMainWindow() : playback(transport), dialog(*this, playback) { InitDialog(); }

LMDIMainWindow::~LMDIMainWindow()
{
    // The player stops before the window parts its notices would touch go.
    transport.onPosition = nullptr;
    transport.onState = nullptr;
    transport.onLevels = nullptr;
    transport.onDeviceError = nullptr;
    transport.Stop();
    LQtProgressView::SetOwnerWindow(&dialog, nullptr);
    // The child windows show documents the controller owns: they go first.
    for (auto& [pDoc, pSub] : mapWindows)
        delete pSub;
    mapWindows.clear();
}

int LMDIMainWindow::Run(const QStringList& files)
{
    LSingleInstance instance;
    if (instance.Start(files) == LSingleInstance::kHandedOff)
        return 0;
    LMDIMainWindow window;
    connect(&instance, &LSingleInstance::Activated, &window, &LMDIMainWindow::EvLoad);
    if (LSettings::Get().GetBool("MainWindow", "Maximized", true))
        window.showMaximized();
    else
        window.show();
    window.OpenCommandLine(files);
    return QApplication::exec();
}

void LMDIMainWindow::OpenCommandLine(const QStringList& files)
{
    for (const QString& strFile : files)
        dialog.LoadFile(QFileInfo(strFile).absoluteFilePath().toStdString(), false, true);
    FileApply();
}

// ---- construction ------------------------------------------------------------

void LMDIMainWindow::InitDialog()
{
    setWindowTitle(kProgram);
    setAcceptDrops(true);
    setWindowIcon(LOVIcons::Get(LOVIcons::Program));
    transport.onPosition = [this](LOVFile& doc) { FollowPlayer(doc); };
    transport.onState = [this](bool bOpen) {
        if (!bOpen)
            pMeter->Clear();
        EnablePlayerControls();
        EnableMenuOptions();
    };
    transport.onLevels = [this](const LSoundLevels& levels) { pMeter->SetLevels(levels); };
    transport.onDeviceError = [this](const char* szText) { ShowMessage(szText, kProgram, Icon::Information); };
    menu.Build(*menuBar(), *this);
    for (const auto& [iId, pAction] : menu.Actions()) {
        const int iCommand = iId;
        connect(pAction, &QAction::triggered, this, [this, iCommand]() { EvCommand(iCommand); });
        connect(pAction, &QAction::hovered, this,
                [this, iCommand]() { statusBar()->showMessage(LMainMenu::Hint(iCommand), 5000); });
    }
    connect(menu.WindowMenu(), &QMenu::aboutToShow, this, &LMDIMainWindow::UpdateWindowMenu);
    CreateToolbar();

    pMdiArea = new QMdiArea;
    pMdiArea->setObjectName("MDIClient");
    pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* pSub) {
        if (bActivating || !pSub)
            return;
        for (auto& [pDoc, pWindow] : mapWindows)
            if (pWindow == pSub && pDoc != dialog.GetCurrentFile()) {
                playback.Stop();
                dialog.Activate(const_cast<LOVFile*>(pDoc));
            }
    });

    pWindowButtons = new QWidget;
    pWindowButtons->setFixedHeight(28);
    pWindowButtonLayout = new QHBoxLayout(pWindowButtons);
    pWindowButtonLayout->setContentsMargins(0, 0, 0, 0);
    pWindowButtonLayout->setSpacing(0);
    pWindowButtonGroup = new QButtonGroup(this);
    pWindowButtons->hide();

    auto* pCentral = new QWidget;
    pMdiArea->setParent(pCentral);
    pWindowButtons->setParent(pCentral);
    pSeparatorLine = new QFrame(pCentral);
    pSeparatorLine->setObjectName("123");
    pSeparatorLine->setFrameShape(QFrame::HLine);
    pSeparatorLine->setFrameShadow(QFrame::Sunken);
    CreateBottomPanel(*pCentral);
    setCentralWidget(pCentral);

    pRateStatus = new QLabel;
    pRateStatus->setObjectName("110.1");
    statusBar()->setObjectName("110");
    statusBar()->setSizeGripEnabled(true);
    statusBar()->addPermanentWidget(pRateStatus);

    pSelectionTimer = new QTimer(this);
    pSelectionTimer->setSingleShot(true);
    pSelectionTimer->setInterval(50);
    connect(pSelectionTimer, &QTimer::timeout, this, [this]() { dialog.ApplySelection(); });

    auto* pScrub = new QShortcut(QKeySequence(Qt::Key_Space), this);
    // Space scrubs, and in scrub mode plays on.
    connect(pScrub, &QShortcut::activated, this, [this]() {
        if (playback.IsCued()) {
            EvCommand(CM_PLAY);
            return;
        }
        dialog.CmScrub();
        EnablePlayerControls();
    });
    // Shift with Home, End, F7 and F8 extends the selection to the move's
    // target.
    auto* pShiftHome = new QShortcut(QKeySequence("Shift+Home"), this);
    connect(pShiftHome, &QShortcut::activated, this, [this]() {
        bExtend = true;
        EvCommand(CM_GOTOSTART);
    });
    auto* pShiftEnd = new QShortcut(QKeySequence("Shift+End"), this);
    connect(pShiftEnd, &QShortcut::activated, this, [this]() {
        bExtend = true;
        EvCommand(CM_GOTOEND);
    });
    auto* pShiftF7 = new QShortcut(QKeySequence("Shift+F7"), this);
    connect(pShiftF7, &QShortcut::activated, this, [this]() {
        bExtend = true;
        EvCommand(CM_REWIND);
    });
    auto* pShiftF8 = new QShortcut(QKeySequence("Shift+F8"), this);
    connect(pShiftF8, &QShortcut::activated, this, [this]() {
        bExtend = true;
        EvCommand(CM_FASTFORWARD);
    });
    qApp->installEventFilter(this);

    LQtProgressView::SetOwnerWindow(&dialog, this);
    ShowPlaySpeed();
    LoadPlacement();
    LoadRecentFileList();
    FileApply();
}

void LMDIMainWindow::LoadPlacement()
{
    LSettings& s = LSettings::Get();
    QRect desk = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                  : QRect(0, 0, 1024, 768);
    int iWidth = std::min(s.GetInt("MainWindow", "Width", 740), desk.width());
    int iHeight = std::min(s.GetInt("MainWindow", "Height", 627), desk.height());
    int iX = std::clamp(s.GetInt("MainWindow", "X", 160), desk.left(), desk.right() - iWidth + 1);
    int iY = std::clamp(s.GetInt("MainWindow", "Y", 80), desk.top(), desk.bottom() - iHeight + 1);
    resize(iWidth, iHeight);
    move(iX, iY);
}

void LMDIMainWindow::StorePlacement()
{
    if (isMinimized())
        return;
    LSettings& s = LSettings::Get();
    if (isMaximized()) {
        s.SetInt("MainWindow", "Maximized", 1);
        return;
    }
    QRect desk = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect frame = frameGeometry();
    s.SetInt("MainWindow", "Maximized", 0);
    s.SetInt("MainWindow", "X", frame.x());
    s.SetInt("MainWindow", "Y", frame.y());
    s.SetInt("MainWindow", "Width", std::min(frame.right(), desk.right()) - frame.x() + 1);
    s.SetInt("MainWindow", "Height", frame.height());
}

// ---- lookups -----------------------------------------------------------------

QAction* LMDIMainWindow::ToolbarAction(int iId) const
{
    auto it = mapToolbar.find(iId);
    return it == mapToolbar.end() ? nullptr : it->second;
}

QMdiSubWindow* LMDIMainWindow::GetSubWindow(const LOVFile& doc) const
{
    auto it = mapWindows.find(&doc);
    return it == mapWindows.end() ? nullptr : it->second;
}

LOVFileWindow* LMDIMainWindow::GetFileWindow(const LOVFile& doc) const
{
    QMdiSubWindow* pSub = GetSubWindow(doc);
    return pSub ? static_cast<LOVFileWindow*>(pSub->widget()) : nullptr;
}

LOVFileWindow* LMDIMainWindow::CurrentWindow() const
{
    return dialog.GetCurrentFile() ? GetFileWindow(*dialog.GetCurrentFile()) : nullptr;
}

QLabel* LMDIMainWindow::GetField(int iId) const
{
    auto it = mapFields.find(iId);
    return it == mapFields.end() ? nullptr : it->second;
}

QAbstractButton* LMDIMainWindow::GetTransportButton(int iId) const
{
    auto it = mapTransport.find(iId);
    return it == mapTransport.end() ? nullptr : it->second;
}

QString LMDIMainWindow::GetRateStatusText() const { return pRateStatus->text(); }
QString LMDIMainWindow::GetHintText() const { return statusBar()->currentMessage(); }

// ---- commands ------------------------------------------------------------------

void LMDIMainWindow::EvCommand(int iId)
{
    LOVFile* pDoc = dialog.GetCurrentFile();
    LOVFileWindow* pWindow = CurrentWindow();
    if (iId >= CM_RECENTFIRST && iId <= CM_RECENTLAST)
        return; // the recent items carry their own paths
    if (LMainMenu::IsUnavailable(iId) || (NeedsDocument(iId) && !pDoc))
        return;
    switch (iId) {
    case CM_EXIT: close(); return;
    case CM_GOTOSTART:
    case CM_GOTOEND:
        dialog.EvCommand(iId);
        // A closed player leaves the move to us, with the selection rule.
        if (!playback.IsOpen())
            MoveTo(iId == CM_GOTOSTART ? 0 : pDoc->GetLength(), false);
        break;
    case CM_PLAYSLOW:
    case CM_PLAYNORMAL:
    case CM_PLAYFAST:
        dialog.EvCommand(iId);
        ShowPlaySpeed();
        break;
    case CM_ZOOMIN: pWindow->ZoomIn(); WavApply(); break;
    case CM_ZOOMOUT: pWindow->ZoomOut(); WavApply(); break;
    case CM_ZOOMSELECTION: pWindow->ZoomSelection(); WavApply(); break;
    case CM_ZOOMFULL: pWindow->ZoomFull(); WavApply(); break;
    case CM_VERTICALZOOM: pWindow->ToggleVerticalZoom(); WavApply(); break;
    case CM_DISPLAYPLUSMINUS: pWindow->SetDisplayMode(0); WavApply(); break;
    case CM_DISPLAYLEFTRIGHT: pWindow->SetDisplayMode(1); WavApply(); break;
    case CM_CASCADE: pMdiArea->cascadeSubWindows(); break;
    case CM_TILEHORIZONTAL: TileWindows(true); break;
    case CM_TILEVERTICAL: TileWindows(false); break;
    case CM_ARRANGEICONS: ArrangeIcons(); break;
    case CM_HELPCONTENTS: CmHelpContents(); break;
    case CM_ABOUT: CmAbout(); break;
    default: dialog.EvCommand(iId); break;
    }
    EnableMenuOptions();
    EnablePlayerControls();
}

void LMDIMainWindow::EvLoad(const QStringList& paths)
{
    // A file handed over during a load, a dialog or a long operation waits
    // until it is done: loading is not re-entered from a nested event loop.
    lstPendingLoads += paths;
    if (QApplication::activeModalWidget()) {
        if (!bLoadRetry) {
            bLoadRetry = true;
            QTimer::singleShot(200, this, [this]() {
                bLoadRetry = false;
                EvLoad({});
            });
        }
        return;
    }
    const QStringList pending = std::exchange(lstPendingLoads, {});
    for (const QString& strPath : pending) {
        playback.Stop();
        dialog.LoadFile(QFileInfo(strPath).absoluteFilePath().toStdString(), false, true);
    }
    if (!pending.isEmpty())
        FileApply();
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void LMDIMainWindow::ShowPlaySpeed()
{
    const int iSpeed = std::clamp(LSettings::Get().GetInt("Settings", "PlaySpeed", LPlaybackControl::kNormal), 0, 2);
    Action(CM_PLAYSLOW + iSpeed)->setChecked(true);
}

void LMDIMainWindow::MoveTo(int32_t iPosition, bool bExtendNow)
{
    LOVFile* pDoc = dialog.GetCurrentFile();
    if (!pDoc)
        return;
    iPosition = std::clamp(iPosition, 0, pDoc->GetLength());
    if (bExtend || bExtendNow) {
        const int32_t iAnchor = std::clamp(iShiftAnchor, 0, pDoc->GetLength());
        dialog.ModifySelection(std::min(iAnchor, iPosition), std::max(iAnchor, iPosition), iPosition);
    } else {
        dialog.ModifySelection(iPosition, iPosition, iPosition);
    }
    EnableMenuOptions();
}

void LMDIMainWindow::FollowPlayer(LOVFile& doc)
{
    if (&doc != dialog.GetCurrentFile())
        return;
    if (bExtend)
        MoveTo(doc.sPosition, true);
    else
        dialog.ApplySelection();
}

bool LMDIMainWindow::eventFilter(QObject* pObject, QEvent* pEvent)
{
    if (pObject == centralWidget() && pEvent->type() == QEvent::Resize) {
        LayoutControls();
        return false;
    }
    if (pEvent->type() != QEvent::KeyPress && pEvent->type() != QEvent::KeyRelease)
        return false;
    auto* pWidget = qobject_cast<QWidget*>(pObject);
    if (!pWidget || pWidget->window() != this || QApplication::activeModalWidget())
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*pEvent);
    return pEvent->type() == QEvent::KeyPress ? KeyDown(key) : KeyUp(key);
}

bool LMDIMainWindow::KeyDown(const QKeyEvent& key)
{
    const bool bArrow = key.key() == Qt::Key_Left || key.key() == Qt::Key_Right;
    // A text field keeps its arrows for the caret.
    if (bArrow && qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        return false;
    if (key.isAutoRepeat())
        return bArrow; // a held arrow scans once
    if (key.key() == Qt::Key_Shift && dialog.GetCurrentFile()) {
        iShiftAnchor = dialog.GetCurrentFile()->sPosition;
        return false;
    }
    if (!bArrow)
        return false;
    const int iDirection = key.key() == Qt::Key_Right ? 1 : -1;
    if (!dialog.GetCurrentFile() || iHeldScan == iDirection)
        return true;
    if (key.modifiers() & Qt::ShiftModifier)
        bExtend = true;
    iHeldScan = iDirection;
    GetTransportButton(iDirection > 0 ? 116 : 115)->setDown(true);
    dialog.ScanPressed(iDirection > 0);
    if (bExtend)
        MoveTo(dialog.GetCurrentFile()->sPosition, true);
    EnablePlayerControls();
    return true;
}

bool LMDIMainWindow::KeyUp(const QKeyEvent& key)
{
    if (key.isAutoRepeat())
        return key.key() == Qt::Key_Left || key.key() == Qt::Key_Right;
    switch (key.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Home:
    case Qt::Key_End: bExtend = false; return false;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int iDirection = key.key() == Qt::Key_Right ? 1 : -1;
        if (iHeldScan != iDirection)
            return false;
        iHeldScan = 0;
        GetTransportButton(iDirection > 0 ? 116 : 115)->setDown(false);
        dialog.ScanReleased();
        EnablePlayerControls();
        return true;
    }
    default: return false;
    }
}

void LMDIMainWindow::ApplyWaveSelection(LOVWaveWindow* pView, bool bFinal)
{
    LOVFile* pDoc = dialog.GetCurrentFile();
    LOVFileWindow* pWindow = CurrentWindow();
    if (!pDoc || !pWindow || (pView != &pWindow->GetOverview() && pView != &pWindow->GetZoomed()))
        return;
    if (bFinal) {
        pSelectionTimer->stop();
        dialog.ModifySelection(pView->GetSelStart(), pView->GetSelEnd(), pView->GetCursor());
        EnableMenuOptions();
        return;
    }
    // While dragging only the views follow; the fields wait for the timer.
    pDoc->sSelStart = pView->GetSelStart();
    pDoc->sSelEnd = pView->GetSelEnd();
    pWindow->ShowSelection();
    if (!pSelectionTimer->isActive())
        pSelectionTimer->start();
}

void LMDIMainWindow::TrackWaveWindowMenu(const QPoint& ptGlobal)
{
    QMenu popup(this);
    menu.BuildContextMenu(popup);
    popup.exec(ptGlobal);
}

void LMDIMainWindow::TileWindows(bool bHorizontal)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* pSub : pMdiArea->subWindowList())
        if (!pSub->isMinimized())
            windows.append(pSub);
    if (windows.isEmpty())
        return;
    const QRect area = pMdiArea->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* pSub = windows[i];
        if (pSub->isMaximized())
            pSub->showNormal();
        if (bHorizontal)
            pSub->setGeometry(0, area.height() * i / n, area.width(), area.height() / n);
        else
            pSub->setGeometry(area.width() * i / n, 0, area.width() / n, area.height());
    }
}

void LMDIMainWindow::ArrangeIcons()
{
    const QRect area = pMdiArea->viewport()->rect();
    int iX = 0;
    for (QMdiSubWindow* pSub : pMdiArea->subWindowList()) {
        if (!pSub->isMinimized())
            continue;
        pSub->move(iX, area.height() - pSub->height());
        iX += pSub->width();
    }
}

void LMDIMainWindow::CmHelpContents()
{
    const QString strHelp = QCoreApplication::applicationDirPath() + "/help/index.html";
    if (!QFileInfo::exists(strHelp) || !QDesktopServices::openUrl(QUrl::fromLocalFile(strHelp)))
        ShowMessage("Unable to open the help file \"" + strHelp.toStdString() + "\".", kProgram,
                    LFilePrompts::Icon::Exclamation);
}

void LMDIMainWindow::CmAbout()
{
    QMessageBox box(QMessageBox::NoIcon, "About Orvenna",
                    "Orvenna 0.1\n\nA sound editor for the Linux desktop.\n\nCorvatch", QMessageBox::Ok, this);
    box.setIconPixmap(LOVIcons::Get(LOVIcons::Program).pixmap(48, 48));
    LModalRunner::Exec(box);
}

// ---- enabling ------------------------------------------------------------------

void LMDIMainWindow::SetEnabled(int iId, bool bEnabled)
{
    bEnabled = bEnabled && !LMainMenu::IsUnavailable(iId);
    if (QAction* pAction = Action(iId))
        pAction->setEnabled(bEnabled);
    if (QAction* pAction = ToolbarAction(iId))
        pAction->setEnabled(bEnabled);
}

void LMDIMainWindow::EnableMenuOptions()
{
    const LOVFile* pDoc = dialog.GetCurrentFile();
    const bool bSelection = pDoc && pDoc->HasValidSelection();
    LCutListAudio& clip = dialog.GetClipboard();
    const bool bClipboard = LSoundTime::FramesToMs(clip.GetTotalLength(), clip.GetSampleRate()) != 0;
    for (const auto& [iId, pAction] : menu.Actions()) {
        bool bEnabled = !NeedsDocument(iId) || pDoc;
        if (NeedsSelection(iId))
            bEnabled = bSelection;
        SetEnabled(iId, bEnabled);
    }
    SetEnabled(CM_UNDO, pDoc && !pDoc->GetUndoName().empty());
    SetEnabled(CM_PASTE, pDoc && bClipboard);
    SetEnabled(CM_PASTEMIX, pDoc && bClipboard);
    SetEnabled(CM_FILESAVE, pDoc && pDoc->bDirty);
    const bool bStereo = pDoc && pDoc->claAudio.GetChannels() == 2;
    SetEnabled(CM_DISPLAYPLUSMINUS, bStereo);
    SetEnabled(CM_DISPLAYLEFTRIGHT, bStereo);
    for (const auto& [iId, pButton] : mapTransport)
        pButton->setEnabled(pDoc && iId != 118);
    if (pDoc) {
        Action(CM_VERTICALZOOM)->setChecked(pDoc->bVerticalZoom != 0);
        Action(pDoc->iWavDisplayMode == 1 ? CM_DISPLAYLEFTRIGHT : CM_DISPLAYPLUSMINUS)->setChecked(true);
    }
}

void LMDIMainWindow::EnablePlayerControls()
{
    // Play while playing, Scrub while scrubbing, Stop while closed.
    const bool bOpen = playback.IsOpen();
    const bool bCued = bOpen && playback.IsCued();
    for (const auto& [iId, pButton] : mapTransport)
        pButton->setChecked((iId == 111 && bOpen && !bCued) || (iId == 112 && bCued) || (iId == 113 && !bOpen));
}

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
    mapFields[130]->setText(pDoc ? QString::fromStdString(TimeText(pDoc->GetLength(), pDoc->claAudio.GetSampleRate()))
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
        pButton->setToolTip(QString::fromStdString(pDoc->szFilePath.empty() ? pDoc->GetDisplayName()
                                                                            : pDoc->szFilePath));
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
        if (pAction->data().toInt() >= kFirstChildId || pAction->property("childSeparator").toBool()) {
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
        auto* pAction = new QAction(QString("&%1 %2").arg(n + 1).arg(QString::fromStdString(pDoc->GetDisplayName())),
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

// ---- recent files ----------------------------------------------------------------

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
        auto* pAction = new QAction(QString("&%1. %2").arg(n).arg(QString::fromStdString(strPath)), pFile);
        pAction->setData(CM_RECENTFIRST - 1 + n);
        connect(pAction, &QAction::triggered, this, [this, strPath]() {
            playback.Stop();
            dialog.LoadFile(strPath, false, true);
            FileApply();
        });
        connect(pAction, &QAction::hovered, this,
                [this]() { statusBar()->showMessage(LMainMenu::Hint(CM_RECENTFIRST), 5000); });
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

// ---- closing -------------------------------------------------------------------

namespace {
// The local files among dropped data.
QStringList DroppedFiles(const QMimeData* pData)
{
    QStringList files;
    if (pData && pData->hasUrls())
        for (const QUrl& url : pData->urls())
            if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
                files.append(url.toLocalFile());
    return files;
}
} // namespace

void LMDIMainWindow::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (!DroppedFiles(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void LMDIMainWindow::dropEvent(QDropEvent* pEvent)
{
    const QStringList files = DroppedFiles(pEvent->mimeData());
    if (files.isEmpty())
        return;
    pEvent->acceptProposedAction();
    // Loaded after the drop has returned to the file manager.
    QTimer::singleShot(0, this, [this, files] { EvLoad(files); });
}

void LMDIMainWindow::closeEvent(QCloseEvent* pEvent)
{
    if (!dialog.CanClose()) {
        pEvent->ignore();
        return;
    }
    playback.Stop();
    StorePlacement();
    pEvent->accept();
}

// ---- what the controller reports ---------------------------------------------------

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
        QMetaObject::invokeMethod(this, [this, pDoc]() {
            if (!mapWindows.count(pDoc))
                return;
            dialog.Activate(pDoc);
            EvCommand(CM_FILECLOSE);
        }, Qt::QueuedConnection);
    };
    connect(pView, &LOVFileWindow::WaveReleased, this, [this](LOVWaveWindow* p) { ApplyWaveSelection(p, true); });
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
            MoveTo(pView->GetScrollTarget(), QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
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
    pSub->setGeometry(iOffset, iOffset, std::max(320, area.width() * 3 / 4), std::max(200, area.height() * 3 / 4));
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

void LMDIMainWindow::SetMenuItem(int iId, const std::string& strText, bool bEnabled)
{
    if (QAction* pAction = Action(iId))
        pAction->setText(QString::fromStdString(strText));
    SetEnabled(iId, bEnabled);
}

void LMDIMainWindow::EnableCommand(int iId, bool bEnabled) { SetEnabled(iId, bEnabled); }

void LMDIMainWindow::SetStatusField(int iId, const std::string& strText)
{
    if (QLabel* pField = GetField(iId))
        pField->setText(QString::fromStdString(strText));
    else
        UpdateStatusRate(); // the rate or channels changed
}
