#pragma once

#include "effects/PointList.h"

#include <QWidget>

// The curve editor of the equalizer and envelope dialogs: shows the points
// of a list owned by the dialog joined by straight lines. A left click on a
// point picks it, elsewhere inserts one (at most 63); dragging moves the
// picked point between its neighbours, the first held at x = 0 and the last
// at x = 255; a right click deletes a point other than the ends. The cursor
// is a hand over a point. User-interface thread only.
class LBrainWaveWindow : public QWidget {
    Q_OBJECT
public:
    LBrainWaveWindow(PointList& list, QWidget* pParent);

    void SetLabel(const QString& str);
    const QString& GetLabel() const { return strLabel; }
    // Curve coordinates (0..255 each) of a pixel, and the pixel of a point.
    QPoint ToCurve(QPoint pixel) const;
    QPoint ToPixel(const PointList::Point& p) const;

signals:
    // On every mouse move: the dragged point's x and y, or the cursor's.
    void Moved(int x, int y);
    // A button was released: the curve may have changed.
    void Released();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    int Width() const;
    int Height() const;
    // The index of the point within 4 curve units of c, -1 for none.
    int HitPoint(QPoint c) const;
    void Insert(QPoint c);

    PointList& list;
    int iSelected = -1;
    bool bDragging = false;
    QString strLabel;
};
