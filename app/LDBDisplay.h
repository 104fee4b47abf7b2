#pragma once

#include "engine/LSoundLevels.h"

#include <QBrush>
#include <QWidget>
#include <cstdint>
#include <vector>

// A level meter: one row per channel, scaled from -36 dB at the left to
// +12 dB at the right edge; green up to the level (at most 0 dB), red from
// 0 dB to a positive level, black beyond. Gray without channels or when
// disabled. New levels repaint only the stretch of each row that changed.
class LDBDisplay : public QWidget {
    Q_OBJECT
public:
    explicit LDBDisplay(QWidget* pParent = nullptr);

    void SetLevels(const LSoundLevels& levels);
    // One channel at -127: nothing playing.
    void Clear();
    int GetChannels() const { return int(vLevels.size()); }
    int GetLevel(int iChannel) const { return vLevels[size_t(iChannel)]; }
    // Pixel of a level on the scale.
    int PixelOf(int iDb) const;
    // The region last marked for repainting.
    const QRect& GetLastDirty() const { return rcLastDirty; }

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* pEvent) override;

private:
    QRect Row(int iChannel, int iChannels) const;

    std::vector<int8_t> vLevels;
    QBrush brGreen;
    QBrush brRed;
    QRect rcLastDirty;
};
