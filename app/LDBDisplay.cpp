#include "app/LDBDisplay.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {
// Segments of a lamp bar: three lit columns and a dark one.
QBrush Pattern(const QColor& lit)
{
    QPixmap pixmap(4, 4);
    pixmap.fill(lit);
    QPainter p(&pixmap);
    p.fillRect(3, 0, 1, 4, lit.darker(250));
    return QBrush(pixmap);
}
} // namespace

LDBDisplay::LDBDisplay(QWidget* pParent)
    : QWidget(pParent)
    , brGreen(Pattern(QColor(0, 224, 0)))
    , brRed(Pattern(QColor(240, 0, 0)))
{
    setObjectName("LDBDisplay");
    setMinimumSize(48, 8);
    vLevels.assign(1, -127);
}

int LDBDisplay::PixelOf(int iDb) const
{
    return (std::clamp(iDb, -36, 12) + 36) * width() / 48;
}

QRect LDBDisplay::Row(int iChannel, int iChannels) const
{
    const int iTop = iChannel * height() / iChannels;
    const int iBottom = (iChannel + 1) * height() / iChannels;
    return QRect(0, iTop, width(), iBottom - iTop);
}

void LDBDisplay::SetLevels(const LSoundLevels& levels)
{
    const size_t nChannels = levels.bChannels;
    if (nChannels != vLevels.size()) {
        vLevels.assign(levels.aLevels, levels.aLevels + nChannels);
        rcLastDirty = rect();
        update();
        return;
    }
    rcLastDirty = QRect();
    for (size_t i = 0; i < nChannels; ++i) {
        const int iOld = PixelOf(vLevels[i]);
        const int iNew = PixelOf(levels.aLevels[i]);
        vLevels[i] = levels.aLevels[i];
        if (iOld == iNew)
            continue;
        // The 0 dB pixel may change colour on both sides: include it.
        const QRect row = Row(int(i), int(nChannels));
        const QRect stretch(
            std::min(iOld, iNew), row.top(), std::abs(iNew - iOld) + 1, row.height());
        rcLastDirty |= stretch;
        update(stretch);
    }
}

void LDBDisplay::Clear()
{
    LSoundLevels silence;
    silence.bChannels = 1;
    silence.aLevels[0] = -127;
    SetLevels(silence);
}

void LDBDisplay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int n = GetChannels();
    if (n == 0 || !isEnabled()) {
        p.fillRect(rect(), QColor(128, 128, 128));
        return;
    }
    const int iZero = PixelOf(0);
    for (int i = 0; i < n; ++i) {
        const QRect row = Row(i, n);
        const int iLevel = vLevels[size_t(i)];
        const int iGreenEnd = PixelOf(std::min(iLevel, 0));
        const int iEnd = iLevel > 0 ? PixelOf(iLevel) : iGreenEnd;
        p.fillRect(QRect(0, row.top(), iGreenEnd, row.height()), brGreen);
        if (iLevel > 0)
            p.fillRect(QRect(iZero, row.top(), iEnd - iZero, row.height()), brRed);
        p.fillRect(QRect(iEnd, row.top(), width() - iEnd, row.height()), Qt::black);
    }
}

void LDBDisplay::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(pEvent);
}
