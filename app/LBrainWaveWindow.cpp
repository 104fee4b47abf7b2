#include "app/LBrainWaveWindow.h"

#include "platform/LTrace.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

LBrainWaveWindow::LBrainWaveWindow(PointList& list, QWidget* pParent)
    : QWidget(pParent)
    , list(list)
{
    setMouseTracking(true);
    setMinimumSize(256, 160);
    setCursor(Qt::ArrowCursor);
}

int LBrainWaveWindow::Width() const
{
    return std::clamp(width(), 1, 2048);
}

int LBrainWaveWindow::Height() const
{
    return std::clamp(height(), 1, 2048);
}

void LBrainWaveWindow::SetLabel(const QString& str)
{
    strLabel = str;
    update();
}

QPoint LBrainWaveWindow::ToCurve(QPoint pixel) const
{
    return { std::clamp(pixel.x() * 256 / Width(), 0, 255),
        std::clamp(255 - pixel.y() * 256 / Height(), 0, 255) };
}

QPoint LBrainWaveWindow::ToPixel(const PointList::Point& p) const
{
    return { (p.x * Width()) >> 8, ((255 - p.y) * Height()) >> 8 };
}

int LBrainWaveWindow::HitPoint(QPoint c) const
{
    for (int i = 0; i < list.nPoints; ++i)
        if (std::abs(list.aPoints[i].x - c.x()) <= 4 && std::abs(list.aPoints[i].y - c.y()) <= 4)
            return i;
    return -1;
}

void LBrainWaveWindow::Insert(QPoint c)
{
    // After every point at or left of the cursor, never before the first.
    int iAt = 1;
    while (iAt < list.nPoints && list.aPoints[iAt].x <= c.x())
        ++iAt;
    iAt = std::min<int>(iAt, list.nPoints);
    std::copy_backward(
        list.aPoints + iAt, list.aPoints + list.nPoints, list.aPoints + list.nPoints + 1);
    list.aPoints[iAt] = { uint8_t(c.x()), uint8_t(c.y()) };
    ++list.nPoints;
    iSelected = iAt;
}

void LBrainWaveWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), isEnabled() ? Qt::black : palette().color(QPalette::Window));
    if (!isEnabled())
        return;
    painter.setPen(QColor(0, 96, 0));
    painter.drawLine(0, Height() / 2, width(), Height() / 2); // 128: unchanged
    painter.setPen(QPen(Qt::green, 1));
    for (int i = 0; i < list.nPoints; ++i) {
        const QPoint p = ToPixel(list.aPoints[i]);
        if (i > 0)
            painter.drawLine(ToPixel(list.aPoints[i - 1]), p);
        painter.fillRect(p.x() - 4, p.y() - 4, 9, 9, i == iSelected ? Qt::yellow : Qt::green);
    }
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(0, 2, -4, 0), Qt::AlignRight | Qt::AlignTop, strLabel);
}

void LBrainWaveWindow::mousePressEvent(QMouseEvent* pEvent)
{
    const QPoint c = ToCurve(pEvent->position().toPoint());
    const int iHit = HitPoint(c);
    if (pEvent->button() == Qt::RightButton) {
        if (iHit > 0 && iHit < list.nPoints - 1) {
            std::copy(list.aPoints + iHit + 1, list.aPoints + list.nPoints, list.aPoints + iHit);
            --list.nPoints;
            iSelected = -1;
            update();
        }
        return;
    }
    if (pEvent->button() != Qt::LeftButton)
        return;
    bDragging = true;
    if (iHit >= 0)
        iSelected = iHit;
    else if (list.nPoints < PointList::POINTLISTMAX - 1 && list.nPoints > 0)
        Insert(c);
    else {
        LTrace("LBrainWaveWindow::EvLButtonDown pList.nPoints >= (POINTLISTMAX - 1)");
        iSelected = -1;
    }
    update();
}

void LBrainWaveWindow::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QPoint c = ToCurve(pEvent->position().toPoint());
    if (bDragging && iSelected >= 0 && iSelected < list.nPoints) {
        PointList::Point& p = list.aPoints[iSelected];
        int x = c.x();
        if (iSelected > 0)
            x = std::max<int>(x, list.aPoints[iSelected - 1].x);
        if (iSelected + 1 < list.nPoints)
            x = std::min<int>(x, list.aPoints[iSelected + 1].x);
        if (iSelected == 0)
            x = 0;
        else if (iSelected == list.nPoints - 1)
            x = 255;
        p = { uint8_t(x), uint8_t(c.y()) };
        update();
        emit Moved(p.x, p.y);
    } else {
        emit Moved(c.x(), c.y());
    }
    setCursor(HitPoint(c) >= 0 || bDragging ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void LBrainWaveWindow::mouseReleaseEvent(QMouseEvent*)
{
    bDragging = false;
    emit Released();
}
