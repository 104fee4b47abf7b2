#pragma once

#include <QWidget>
#include <vector>

// The spectrum control: the levels (dB, 0 at the top edge, -64 at the
// bottom) as a yellow line over dark grey, a label at the top right, and on
// every mouse move the bin and height position under the mouse.
// User-interface thread only.
class LFrequencyWindow : public QWidget {
    Q_OBJECT
public:
    explicit LFrequencyWindow(QWidget* pParent);

    void SetValues(std::vector<int8_t> values);
    void SetLabel(const QString& str);
    const QString& GetLabel() const { return strLabel; }
    // The bin (0 .. count - 1) and height position (0 .. 2047) of a pixel.
    int BinAt(int x) const;
    int HeightAt(int y) const;

signals:
    void Moved(int iBin, int iHeight);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;

private:
    std::vector<int8_t> values;
    QString strLabel;
};
