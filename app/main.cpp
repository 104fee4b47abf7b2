#include "app/LMDIMainWindow.h"
#include "app/LQtProgressView.h"
#include "platform/qt/LQtUiDispatcher.h"
#include "services/LOutsideDecoders.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvenna");
    LQtUiDispatcher dispatcher;
    LUiDispatcher::SetCurrent(&dispatcher);
    LQtProgressView::Install();
    RegisterOutsideFormats();
    QStringList files = QApplication::arguments().mid(1);
    int iResult = LMDIMainWindow::Run(files);
    LProgressView::SetFactory(nullptr);
    LUiDispatcher::SetCurrent(nullptr);
    return iResult;
}
