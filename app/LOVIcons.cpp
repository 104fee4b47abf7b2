#include "app/LOVIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {
constexpr int kSize = 48;
const QColor kInk(40, 40, 48);

QPainterPath Triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// Right-pointing triangle in the box x0..x1, vertically centred.
void RightArrow(QPainter& p, double x0, double x1, double h, const QColor& c)
{
    p.fillPath(Triangle({ x0, 24 - h }, { x1, 24 }, { x0, 24 + h }), c);
}

void LeftArrow(QPainter& p, double x0, double x1, double h, const QColor& c)
{
    p.fillPath(Triangle({ x1, 24 - h }, { x0, 24 }, { x1, 24 + h }), c);
}

void Magnifier(QPainter& p)
{
    p.setPen(QPen(kInk, 4));
    p.drawEllipse(QPointF(20, 20), 12, 12);
    p.setPen(QPen(kInk, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(29, 29), QPointF(42, 42));
    p.setPen(QPen(kInk, 3.5));
}

void Wave(QPainter& p, double yMid, double amp)
{
    QPainterPath path;
    path.moveTo(6, yMid);
    for (int x = 6; x <= 42; ++x)
        path.lineTo(x, yMid - amp * std::sin((x - 6) * 0.5) * ((x % 7) + 3) / 9.0);
    p.setPen(QPen(QColor(0, 120, 40), 2.5));
    p.drawPath(path);
}

void Draw(QPainter& p, LOVIcons::Kind kind)
{
    const QColor green(30, 150, 60), red(200, 30, 30), blue(40, 90, 190);
    switch (kind) {
    case LOVIcons::Play:
        RightArrow(p, 14, 38, 14, green);
        break;
    case LOVIcons::Record:
        p.setBrush(red);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(24, 24), 13, 13);
        break;
    case LOVIcons::Scrub:
        RightArrow(p, 10, 26, 10, blue);
        p.fillRect(QRectF(30, 14, 5, 20), blue);
        p.fillRect(QRectF(38, 14, 5, 20), blue);
        break;
    case LOVIcons::Stop:
        p.fillRect(QRectF(13, 13, 22, 22), kInk);
        break;
    case LOVIcons::Start:
        p.fillRect(QRectF(10, 12, 5, 24), kInk);
        LeftArrow(p, 15, 37, 12, kInk);
        break;
    case LOVIcons::Rewind:
        LeftArrow(p, 4, 24, 12, kInk);
        LeftArrow(p, 22, 42, 12, kInk);
        break;
    case LOVIcons::Forward:
        RightArrow(p, 6, 26, 12, kInk);
        RightArrow(p, 24, 44, 12, kInk);
        break;
    case LOVIcons::End:
        RightArrow(p, 11, 33, 12, kInk);
        p.fillRect(QRectF(33, 12, 5, 24), kInk);
        break;
    case LOVIcons::ZoomOut:
        Magnifier(p);
        p.drawLine(QPointF(13, 20), QPointF(27, 20));
        break;
    case LOVIcons::ZoomIn:
        Magnifier(p);
        p.drawLine(QPointF(13, 20), QPointF(27, 20));
        p.drawLine(QPointF(20, 13), QPointF(20, 27));
        break;
    case LOVIcons::ZoomSelection:
        p.fillRect(QRectF(16, 8, 16, 32), QColor(120, 160, 230));
        p.setPen(QPen(kInk, 3));
        p.drawLine(QPointF(16, 6), QPointF(16, 42));
        p.drawLine(QPointF(32, 6), QPointF(32, 42));
        break;
    case LOVIcons::ZoomFull:
        p.setPen(QPen(kInk, 3));
        p.drawRect(QRectF(6, 10, 36, 28));
        LeftArrow(p, 9, 19, 7, kInk);
        RightArrow(p, 29, 39, 7, kInk);
        break;
    case LOVIcons::VerticalZoom:
        p.fillPath(Triangle({ 24, 4 }, { 34, 16 }, { 14, 16 }), kInk);
        p.fillPath(Triangle({ 24, 44 }, { 34, 32 }, { 14, 32 }), kInk);
        p.fillRect(QRectF(22, 16, 4, 16), kInk);
        break;
    case LOVIcons::DisplayPlusMinus:
        Wave(p, 24, 14);
        p.setPen(QPen(kInk, 1.5, Qt::DotLine));
        p.drawLine(QPointF(4, 24), QPointF(44, 24));
        break;
    case LOVIcons::DisplayLeftRight:
        Wave(p, 14, 7);
        Wave(p, 34, 7);
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(4, 24), QPointF(44, 24));
        break;
    case LOVIcons::Cut:
        p.setPen(QPen(kInk, 3.5));
        p.drawEllipse(QPointF(14, 35), 6, 6);
        p.drawEllipse(QPointF(34, 35), 6, 6);
        p.drawLine(QPointF(18, 30), QPointF(32, 6));
        p.drawLine(QPointF(30, 30), QPointF(16, 6));
        break;
    case LOVIcons::Copy:
        p.setPen(QPen(kInk, 3));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 6, 20, 26));
        p.drawRect(QRectF(20, 16, 20, 26));
        break;
    case LOVIcons::Paste:
        p.setPen(QPen(kInk, 3));
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(QRectF(9, 8, 28, 34));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(17, 4, 12, 8));
        p.drawRect(QRectF(22, 20, 18, 22));
        break;
    case LOVIcons::Delete:
        p.setPen(QPen(red, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(36, 36));
        p.drawLine(QPointF(36, 12), QPointF(12, 36));
        break;
    case LOVIcons::Program:
        p.setBrush(QColor(30, 60, 120));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);
        Wave(p, 24, 16);
        break;
    }
}
// The lit pictures: a bright green Play, a red Stop, each with a light rim.
void DrawActive(QPainter& p, LOVIcons::Kind kind)
{
    const QColor rim(255, 255, 255, 200);
    if (kind == LOVIcons::Play) {
        const QPainterPath path = Triangle({ 13, 9 }, { 40, 24 }, { 13, 39 });
        p.fillPath(path, QColor(40, 210, 80));
        p.setPen(QPen(rim, 2));
        p.drawPath(path);
    } else {
        p.setBrush(QColor(210, 40, 40));
        p.setPen(QPen(rim, 2));
        p.drawRect(QRectF(12, 12, 24, 24));
    }
}
} // namespace

namespace {
// A transparent picture drawn by fn, optionally antialiased.
template <class Fn> QPixmap Picture(Fn fn, bool bAntialias = true)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, bAntialias);
    fn(p);
    p.end();
    return pixmap;
}
} // namespace

QIcon LOVIcons::Get(Kind kind)
{
    const QPixmap pixmap = Picture([kind](QPainter& p) { Draw(p, kind); });
    QIcon icon(pixmap);
    // Play and Stop show a lit picture while they are pressed (playing,
    // stopped).
    if (kind == Play || kind == Stop)
        icon.addPixmap(
            Picture([kind](QPainter& p) { DrawActive(p, kind); }), QIcon::Normal, QIcon::On);
    // A greyed picture for disabled buttons.
    icon.addPixmap(Picture(
                       [&pixmap](QPainter& p) {
                           p.setOpacity(0.3);
                           p.drawPixmap(0, 0, pixmap);
                       },
                       false),
        QIcon::Disabled);
    return icon;
}

QImage LOVIcons::Image(Kind kind, int iSize)
{
    QImage image(iSize, iSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(iSize / double(kSize), iSize / double(kSize));
    Draw(p, kind);
    p.end();
    return image;
}

QIcon LOVIcons::Themed(const char* szThemeName, Kind fallback)
{
    QIcon themed = QIcon::fromTheme(szThemeName);
    return themed.isNull() ? Get(fallback) : themed;
}
