#include "app/LMDIMainWindow.h"

#include "app/CDRipperDlg.h"
#include "app/LBatchWizard.h"
#include "app/LBookMarkWindow.h"
#include "app/LDBDisplay.h"
#include "app/LLoudnessStatus.h"
#include "app/LModalRunner.h"
#include "app/LOVFileWindow.h"
#include "app/LOVIcons.h"
#include "app/LOVWaveWindow.h"
#include "app/LQtProgressView.h"
#include "app/LQtVirtualKeys.h"
#include "app/LRecentFiles.h"
#include "app/LRegionWindow.h"
#include "app/LSingleInstance.h"
#include "app/TTSInputDialog.h"
#include "audio/LSoundTime.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"
#include "platform/LTrace.h"
#include "services/LTTSCommand.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
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
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>
#include <utility>

namespace {
const char* const kProgram = "Orvenna";
} // namespace

LMDIMainWindow::LMDIMainWindow()
    : playback(transport)
    , dialog(*this, playback)
    , project(dialog, *this)
    , outside(dialog, *this)
    , journal(dialog.GetFiles(), &project.GetBookMarks())
{
    InitDialog();
}

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
    // The list windows show the project dialog's lists and tell this window
    // when they go: while it is whole.
    QWidget* aLists[] = { pBookMarks, pRegions };
    for (QWidget* p : aLists)
        if (p)
            delete p->parentWidget();
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
    window.OfferRecovery();
    window.OpenCommandLine(files);
    return QApplication::exec();
}

void LMDIMainWindow::OpenCommandLine(const QStringList& files)
{
    for (const QString& strFile : files)
        OpenPath(strFile);
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
    transport.onDeviceError
        = [this](const char* szText) { ShowMessage(szText, kProgram, Icon::Information); };
    dialog.GetCommands().Register(WindowCommands());
    dialog.GetCommands().Register(ListCommands());
    dialog.AddListener(journal);
    project.fnBookMarksChanged = [this] { journal.Write(); };
    dialog.GetCommands().Register({ LBatchWizard::Command(this, *this),
        TextToSpeechCommand(dialog, [this](const std::string& strPath) {
            TTSInputDialog input(strPath, this);
            return LModalRunner::Exec(input) == QDialog::Accepted;
        }) });
    dialog.GetCommands().Register({ CDRipperDlg::Command(this, dialog) });
    menu.Build(*menuBar(), *this, dialog.GetCommands());
    for (const auto& [iId, pAction] : menu.Actions()) {
        const LCommand* pRow = dialog.GetCommands().Find(iId);
        const QString strHint = pRow && pRow->szHint ? pRow->szHint : "";
        const int iCommand = iId;
        connect(pAction, &QAction::triggered, this, [this, iCommand]() { EvCommand(iCommand); });
        connect(pAction, &QAction::hovered, this,
            [this, strHint]() { statusBar()->showMessage(strHint, 5000); });
    }
    ShowListItems();
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
    pLoudnessStatus = new LLoudnessStatus;
    statusBar()->addPermanentWidget(pLoudnessStatus);
    statusBar()->addPermanentWidget(pRateStatus);

    pSelectionTimer = new QTimer(this);
    pSelectionTimer->setSingleShot(true);
    pSelectionTimer->setInterval(50);
    connect(pSelectionTimer, &QTimer::timeout, this, [this]() { dialog.ApplySelection(); });

    // Record from its key plays the take afterwards; from the menu it does not.
    if (QAction* pRecord = Action(CM_RECORD))
        pRecord->setShortcuts({});
    auto* pRecordKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(pRecordKey, &QShortcut::activated, this, [this]() {
        dialog.RecordFromKey();
        EnablePlayerControls();
    });
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

    // Macros saved in an earlier run work from the start.
    std::string strError;
    if (!macros.Read(LKeyMacros::DefaultPath(), strError))
        LTrace("LMDIMainWindow::InitDialog keys.dat: %s", strError.c_str());
    LQtProgressView::SetOwnerWindow(&dialog, this);
    ShowPlaySpeed();
    LoadPlacement();
    LoadRecentFileList();
    FileApply();
}

void LMDIMainWindow::LoadPlacement()
{
    LSettings& s = LSettings::Get();
    QRect desk = QGuiApplication::primaryScreen()
        ? QGuiApplication::primaryScreen()->availableGeometry()
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

QString LMDIMainWindow::GetRateStatusText() const
{
    return pRateStatus->text();
}
QString LMDIMainWindow::GetHintText() const
{
    return statusBar()->currentMessage();
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
        OpenPath(strPath);
    }
    if (!pending.isEmpty())
        FileApply();
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void LMDIMainWindow::MoveTo(int32_t iPosition, bool bExtendNow)
{
    LOVFile* pDoc = dialog.GetCurrentFile();
    if (!pDoc)
        return;
    iPosition = std::clamp(iPosition, 0, pDoc->GetLength());
    if (bExtend || bExtendNow) {
        const int32_t iAnchor = std::clamp(iShiftAnchor, 0, pDoc->GetLength());
        dialog.ModifySelection(
            std::min(iAnchor, iPosition), std::max(iAnchor, iPosition), iPosition);
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
    const QEvent::Type eType = pEvent->type();
    if (eType != QEvent::KeyPress && eType != QEvent::KeyRelease
        && eType != QEvent::ShortcutOverride)
        return false;
    auto* pWidget = qobject_cast<QWidget*>(pObject);
    if (!pWidget || pWidget->window() != this || QApplication::activeModalWidget())
        return false;
    if (eType != QEvent::KeyRelease && ProcessMacroKeyDown(*pEvent))
        return true;
    if (eType == QEvent::ShortcutOverride)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*pEvent);
    return pEvent->type() == QEvent::KeyPress ? KeyDown(key) : KeyUp(key);
}

bool LMDIMainWindow::ProcessMacroKeyDown(QEvent& event)
{
    const auto& key = static_cast<const QKeyEvent&>(event);
    const uint32_t uKey = LQtVirtualKeys::FromEvent(key);
    if (!uKey || !macros.Find(uKey))
        return false;
    // Accepting the shortcut override keeps the menus' keys from acting;
    // the key press that follows runs the macro.
    event.accept();
    if (event.type() == QEvent::KeyPress && !key.isAutoRepeat())
        macros.ProcessMacroKeyDown(uKey, [this](int iId) { EvCommand(iId); });
    return true;
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
    case Qt::Key_End:
        bExtend = false;
        return false;
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
    default:
        return false;
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
