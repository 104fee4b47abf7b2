// The frame's own commands (zoom, display, window arrangement, help and
// exit) as rows of the command table, the way commands reach the controller,
// and the enabling of menus and buttons that follows from the table.
#include "app/LHelp.h"
#include "app/LMDIMainWindow.h"
#include "app/LModalRunner.h"
#include "app/LOVFileWindow.h"
#include "app/LOVIcons.h"
#include "app/LSettingsSheet.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <algorithm>

namespace {
const char* const kProgram = "Orvenna";
const char* const kHomePage = "https://www.corvatch.com/orvenna/";
const char* const kSupportPage = "https://www.corvatch.com/orvenna/support/";
} // namespace

// The browser is whatever the desktop has chosen for web pages.
std::function<bool(const QString&)> LMDIMainWindow::fnOpenWebPage
    = [](const QString& strUrl) { return QProcess::startDetached("xdg-open", { strUrl }); };

std::vector<LCommand> LMDIMainWindow::WindowCommands()
{
    // A view command on the current document window, then the refresh.
    auto View = [this](std::function<void(LOVFileWindow&)> fn) {
        return [this, fn] {
            fn(*CurrentWindow());
            WavApply();
        };
    };
    return {
        { CM_EXIT, "Exit", "E&xit", nullptr, "Quit", 0, nullptr, 0, [this] { close(); } },
        { CM_SETTINGS, "Settings", "Settings...", nullptr, "Sets Orvenna default settings.", 0,
            nullptr, 0, [this] { CmSettings(); } },
        { CM_ZOOMIN, "Zoom In", "Zoom In\tCtrl+Plus", "Ctrl+Plus", "Zooms in.", kCmdDocument,
            nullptr, 0, View([](LOVFileWindow& w) { w.ZoomIn(); }) },
        { CM_ZOOMOUT, "Zoom Out", "Zoom Out\tCtrl+Minus", "Ctrl+Minus", "Zooms out.", kCmdDocument,
            nullptr, 0, View([](LOVFileWindow& w) { w.ZoomOut(); }) },
        { CM_ZOOMSELECTION, "Zoom To Selection", "Zoom To Selection\tCtrl+Shift+S", "Ctrl+Shift+S",
            "Zooms to the selected region.", kCmdDocument, nullptr, 0,
            View([](LOVFileWindow& w) { w.ZoomSelection(); }) },
        { CM_ZOOMFULL, "Zoom Full", "Zoom Full\tCtrl+Shift+F", "Ctrl+Shift+F",
            "Displays the entire wave length.", kCmdDocument, nullptr, 0,
            View([](LOVFileWindow& w) { w.ZoomFull(); }) },
        { CM_VERTICALZOOM, "Vertical Zoom", "Vertical Zoom\tCtrl+Shift+V", "Ctrl+Shift+V",
            "Increase the amplitude of the display (to see softer sounds).", kCmdDocument, nullptr,
            0, View([](LOVFileWindow& w) { w.ToggleVerticalZoom(); }) },
        { CM_DISPLAYPLUSMINUS, "Display Wave Form in + /-", "Display Wave Form in + /-", nullptr,
            "Wave display + up / - down.", kCmdStereo, nullptr, 0,
            View([](LOVFileWindow& w) { w.SetDisplayMode(0); }) },
        { CM_DISPLAYLEFTRIGHT, "Display Wave Form in L / R", "Display Wave Form in L / R", nullptr,
            "Wave display left channel up / right channel down.", kCmdStereo, nullptr, 0,
            View([](LOVFileWindow& w) { w.SetDisplayMode(1); }) },
        { CM_CASCADE, "Cascade", "Cascade", nullptr, "Cascade windows on the Desktop", kCmdDocument,
            nullptr, 0, [this] { pMdiArea->cascadeSubWindows(); } },
        { CM_TILEHORIZONTAL, "Tile Horizontal", "Tile Horizontal", nullptr,
            "Tile windows horizontally on the Desktop", kCmdDocument, nullptr, 0,
            [this] { TileWindows(true); } },
        { CM_TILEVERTICAL, "Tile Vertical", "Tile Vertical", nullptr,
            "Tile windows vertically on the Desktop", kCmdDocument, nullptr, 0,
            [this] { TileWindows(false); } },
        { CM_ARRANGEICONS, "Arrange Icons", "Arrange Icons", nullptr,
            "Arrange all iconized Windows", kCmdDocument, nullptr, 0, [this] { ArrangeIcons(); } },
        { CM_HELPCONTENTS, "Help Contents", "&Help Contents", "F1", "Displays the manual.", 0,
            nullptr, 0, [this] { CmHelpContents(); } },
        { CM_HOMEPAGE, "Home Page", "Orvenna &Home Page", nullptr,
            "Opens the Orvenna home page in the browser.", 0, nullptr, 0,
            [this] { OpenWebPage(kHomePage); } },
        { CM_SUPPORTPAGE, "Support Page", "Orvenna &Support", nullptr,
            "Opens the Orvenna support page in the browser.", 0, nullptr, 0,
            [this] { OpenWebPage(kSupportPage); } },
        { CM_ABOUT, "About Orvenna", "About Orvenna", nullptr,
            "Displays program information including version number", 0, nullptr, 0,
            [this] { CmAbout(); } },
    };
}

void LMDIMainWindow::EvCommand(int iId)
{
    dialog.EvCommand(iId);
    // A move with the player closed is left to us, with the selection rule.
    LOVFile* pDoc = dialog.GetCurrentFile();
    if (pDoc && !playback.IsOpen() && (iId == CM_GOTOSTART || iId == CM_GOTOEND))
        MoveTo(iId == CM_GOTOSTART ? 0 : pDoc->GetLength(), false);
    ShowPlaySpeed();
    EnableMenuOptions();
    EnablePlayerControls();
}

void LMDIMainWindow::OpenWebPage(const char* szUrl)
{
    if (!fnOpenWebPage || !fnOpenWebPage(szUrl))
        ShowMessage(std::string("Unable to open the web page \"") + szUrl + "\".", kProgram,
            LFilePrompts::Icon::Exclamation);
}

void LMDIMainWindow::OpenWebPage(const std::string& strUrl)
{
    OpenWebPage(strUrl.c_str());
}

void LMDIMainWindow::ShowPlaySpeed()
{
    const int iSpeed = std::clamp(
        LSettings::Get().GetInt("Settings", "PlaySpeed", LPlaybackControl::kNormal), 0, 2);
    Action(CM_PLAYSLOW + iSpeed)->setChecked(true);
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
    QString strMessage;
    if (!LHelp::Open({}, strMessage))
        ShowMessage(strMessage.toStdString(), kProgram, LFilePrompts::Icon::Exclamation);
}

void LMDIMainWindow::CmSettings()
{
    LSettingsSheet sheet(*this, macros, dialog.GetCommands(), this);
    bool bFolderChanged = false;
    if (!sheet.Run(bFolderChanged) || !bFolderChanged)
        return;
    // The cut tank lives in the old folder until the program starts again.
    QMessageBox box(QMessageBox::Question, "Shut Down Required",
        "Orvenna will now close because you changed the audio working folder.\n\nPlease "
        "re-run Orvenna to start with the new folders.",
        QMessageBox::Ok | QMessageBox::Cancel, this);
    if (LModalRunner::Exec(box) == QMessageBox::Ok)
        close();
}

void LMDIMainWindow::CmAbout()
{
    QMessageBox box(QMessageBox::NoIcon, "About Orvenna",
        "Orvenna 0.1\n\nA sound editor for the Linux desktop.\n\nCorvatch", QMessageBox::Ok, this);
    box.setIconPixmap(LOVIcons::Get(LOVIcons::Program).pixmap(48, 48));
    LModalRunner::Exec(box);
}

void LMDIMainWindow::SetEnabled(int iId, bool bEnabled)
{
    if (QAction* pAction = Action(iId))
        pAction->setEnabled(bEnabled);
    if (QAction* pAction = ToolbarAction(iId))
        pAction->setEnabled(bEnabled);
}

void LMDIMainWindow::EnableMenuOptions()
{
    for (const auto& [iId, pAction] : menu.Actions())
        SetEnabled(iId, dialog.IsCommandEnabled(iId));
    const LOVFile* pDoc = dialog.GetCurrentFile();
    for (const auto& [iId, pButton] : mapTransport)
        pButton->setEnabled(pDoc || iId == 118); // Record makes a document
    if (pDoc) {
        Action(CM_VERTICALZOOM)->setChecked(pDoc->bVerticalZoom != 0);
        Action(pDoc->iWavDisplayMode == 1 ? CM_DISPLAYLEFTRIGHT : CM_DISPLAYPLUSMINUS)
            ->setChecked(true);
    }
}

void LMDIMainWindow::EnablePlayerControls()
{
    // Play while playing, Scrub while scrubbing, Stop while closed.
    const bool bOpen = playback.IsOpen();
    const bool bCued = bOpen && playback.IsCued();
    for (const auto& [iId, pButton] : mapTransport)
        pButton->setChecked(
            (iId == 111 && bOpen && !bCued) || (iId == 112 && bCued) || (iId == 113 && !bOpen));
}

void LMDIMainWindow::SetMenuItem(int iId, const std::string& strText, bool bEnabled)
{
    if (QAction* pAction = Action(iId))
        pAction->setText(QString::fromStdString(strText));
    SetEnabled(iId, bEnabled);
}

void LMDIMainWindow::EnablingChanged()
{
    EnableMenuOptions();
}
