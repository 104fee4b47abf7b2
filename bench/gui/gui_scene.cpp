// Shows the editor with the given files open for a few seconds, for a
// screenshot: gui_scene SECONDS FILE... The last stereo file is shown with
// the left channel up and the right one down, the windows tiled.
#include "app/LMDIMainWindow.h"
#include "app/LOVFileWindow.h"
#include "app/LQtProgressView.h"
#include "engine/LOVFile.h"
#include "platform/qt/LQtUiDispatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    LQtUiDispatcher dispatcher;
    LUiDispatcher::SetCurrent(&dispatcher);
    LQtProgressView::Install();
    const int iSeconds = argc > 1 ? std::atoi(argv[1]) : 5;
    {
        LMDIMainWindow w;
        w.showMaximized();
        LOVFile* pStereo = nullptr;
        for (int i = 2; i < argc; ++i) {
            w.GetController().LoadFile(argv[i], false, false);
            LOVFile* pDoc = w.GetController().GetCurrentFile();
            if (pDoc && pDoc->claAudio.GetChannels() == 2)
                pStereo = pDoc;
        }
        w.EvCommand(CM_TILEHORIZONTAL);
        if (pStereo) {
            w.GetController().Activate(pStereo);
            w.GetFileWindow(*pStereo)->GetButton(89)->click();
        }
        QTimer::singleShot(iSeconds * 1000, &app, &QApplication::quit);
        QApplication::exec();
    }
    LProgressView::SetFactory(nullptr);
    LUiDispatcher::SetCurrent(nullptr);
    return 0;
}
