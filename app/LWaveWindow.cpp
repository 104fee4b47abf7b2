#include "app/LWaveWindow.h"

#include <QMouseEvent>

LWaveWindow::LWaveWindow(QWidget* pParent)
    : LWaveControl(pParent, nullptr)
{
    marks.bSelection = false;
}

void LWaveWindow::SetSource(const SourceHandle& source)
{
    worker.Stop();
    worker.columns.SetSource(source, LWaveColumns::kMagnitude);
    StartWorker();
}

void LWaveWindow::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton)
        return;
    SetCursor(FrameAt(pEvent->position().toPoint().x()), 0);
    emit Notify(kReleased);
}
