#include "app/LFrequencyWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

LFrequencyWindow::LFrequencyWindow(QWidget* pParent)
    : QWidget(pParent)
{
    setMouseTracking(true);
    setMinimumSize(512, 200);
}

void LFrequencyWindow::SetValues(std::vector<int8_t> v)
{
    values = std::move(v);
    update();
}

void LFrequencyWindow::SetLabel(const QString& str)
{
    strLabel = str;
    update();
}

int LFrequencyWindow::BinAt(int x) const
{
    const int n = std::max<int>(int(values.size()), 1);
    return std::clamp(x * n / std::max(width(), 1), 0, n - 1);
}

int LFrequencyWindow::HeightAt(int y) const
{
    return std::clamp(y * 2048 / std::max(height(), 1), 0, 2047);
}

void LFrequencyWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!isEnabled()) {
        painter.fillRect(rect(), Qt::gray);
        return;
    }
    painter.fillRect(rect(), Qt::darkGray);
    const int W = std::max(width(), 1), H = height();
    if (!values.empty()) {
        QPolygon line(W);
        for (int x = 0; x < W; ++x) {
            const int v = values[size_t(int64_t(x) * int64_t(values.size()) / W)];
            line.setPoint(x, x, (-v * H) >> 6);
        }
        painter.setPen(QColor(255, 255, 0));
        painter.drawPolyline(line);
    }
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(0, 2, -4, 0), Qt::AlignRight | Qt::AlignTop, strLabel);
}

void LFrequencyWindow::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QPoint p = pEvent->position().toPoint();
    emit Moved(BinAt(p.x()), HeightAt(p.y()));
}
