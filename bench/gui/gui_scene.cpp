// Shows the editor with files open and saves a picture of the screen, for
// looking at the window under a virtual display:
//   gui_scene SECONDS OUT.png FILE...          the editor with the files, tiled;
//                                              the last stereo one with the left
//                                              channel up and the right one down
//   gui_scene --player SECONDS OUT.png FILE    the play dialog over the file
//   gui_scene --menu=TITLE SECONDS OUT.png FILE...   the editor with that menu open
// The picture is taken SECONDS after the start, so a long load can be caught
// with its progress dialog.
#include "app/LMDIMainWindow.h"
#include "app/LOVFileWindow.h"
#include "app/LPlayDlg.h"
#include "app/LQtProgressView.h"
#include "edit/LSRCCutListAudio.h"
#include "engine/LOVFile.h"
#include "platform/qt/LQtUiDispatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
class DocumentSource : public LPlayerSource {
public:
    explicit DocumentSource(const LOVFile& d)
        : doc(d)
    {
        szName = d.GetDisplayName();
    }
    void OpenSource(SourceHandle& h) override { h = MakeHandle<LSRCCutListAudio>(doc.claAudio); }

private:
    const LOVFile& doc;
};

void Shoot(const char* szOut)
{
    const bool bSaved = QGuiApplication::primaryScreen()->grabWindow(0).save(szOut);
    std::fprintf(stderr, "%s %s\n", bSaved ? "saved" : "could not save", szOut);
}

// Opens the menu bar's menu of that title ("&" left out).
void OpenMenu(LMDIMainWindow& w, const QString& strTitle)
{
    for (QAction* pAction : w.menuBar()->actions())
        if (pAction->menu() && pAction->text().remove('&') == strTitle) {
            w.menuBar()->setActiveAction(pAction);
            return;
        }
    std::fprintf(stderr, "no menu %s\n", qPrintable(strTitle));
}

int Scene(bool bPlayer, const QString& strMenu, int iSeconds, const char* szOut, int nFiles,
    char** apFiles)
{
    LMDIMainWindow w;
    w.showMaximized();
    // Taken from whatever event loop runs then (a load's progress dialog too).
    QTimer::singleShot(iSeconds * 1000, [szOut] { Shoot(szOut); });
    LOVFile* pStereo = nullptr;
    for (int i = 0; i < nFiles; ++i) {
        w.GetController().LoadFile(apFiles[i], false, false);
        LOVFile* pDoc = w.GetController().GetCurrentFile();
        if (pDoc && pDoc->claAudio.GetChannels() == 2)
            pStereo = pDoc;
    }
    w.EvCommand(CM_TILEHORIZONTAL);
    if (pStereo) {
        w.GetController().Activate(pStereo);
        w.GetFileWindow(*pStereo)->GetButton(89)->click();
    }
    if (!strMenu.isEmpty())
        QTimer::singleShot(500, &w, [&w, strMenu] { OpenMenu(w, strMenu); });
    LOVFile* pDoc = w.GetController().GetCurrentFile();
    if (bPlayer && pDoc) {
        DocumentSource source(*pDoc);
        LPlayDlg dlg(source, &w);
        dlg.resize(460, 300);
        QTimer::singleShot(iSeconds * 1000 + 500, &dlg, [&dlg] { dlg.done(LPlayDlg::kClosed); });
        dlg.exec();
        return 0;
    }
    QTimer::singleShot(iSeconds * 1000 + 500, &QApplication::quit);
    return QApplication::exec();
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    LQtUiDispatcher dispatcher;
    LUiDispatcher::SetCurrent(&dispatcher);
    LQtProgressView::Install();
    const bool bPlayer = argc > 1 && std::strcmp(argv[1], "--player") == 0;
    const bool bMenu = argc > 1 && std::strncmp(argv[1], "--menu=", 7) == 0;
    const QString strMenu = bMenu ? QString::fromUtf8(argv[1] + 7) : QString();
    const int iFirst = bPlayer || bMenu ? 2 : 1;
    if (argc < iFirst + 2) {
        std::fprintf(
            stderr, "usage: gui_scene [--player | --menu=TITLE] SECONDS OUT.png FILE...\n");
        return 2;
    }
    const int iResult = Scene(bPlayer, strMenu, std::atoi(argv[iFirst]), argv[iFirst + 1],
        argc - iFirst - 2, argv + iFirst + 2);
    LProgressView::SetFactory(nullptr);
    LUiDispatcher::SetCurrent(nullptr);
    return iResult;
}
