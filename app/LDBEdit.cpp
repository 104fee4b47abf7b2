#include "app/LDBEdit.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
const QColor kGreen(0, 128, 0);
const QColor kRed(192, 0, 0);
const QColor kGray(128, 128, 128);
const QColor kThumb(212, 212, 212);
} // namespace

LDBEdit::LDBEdit(QWidget* pParent)
    : QWidget(pParent)
{
    setObjectName("LDBEdit");
    pField = new QLineEdit(this);
    pField->setObjectName("LDBEditField");
    pField->setFrame(false);
    pField->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pField->setTextMargins(0, 0, 0, 0);
    pField->setText(Text(iValue));
    connect(pField, &QLineEdit::editingFinished, this, &LDBEdit::FieldEdited);
    setMinimumSize(kFieldWidth + 40, 16);
}

QString LDBEdit::Text(int iDb)
{
    return iDb < -126 ? QString("--dB") : QString("%1dB").arg(iDb);
}

void LDBEdit::SetValue(int iNew)
{
    iNew = std::clamp(iNew, iMinimum, iMaximum);
    pField->setText(Text(iNew));
    if (iNew == iValue)
        return;
    iValue = iNew;
    update();
    emit ValueChanged(iValue);
}

void LDBEdit::SetRange(int iMin, int iMax)
{
    iMinimum = iMin;
    iMaximum = std::max(iMin, iMax);
    update();
    SetValue(iValue);
}

int LDBEdit::PixelOf(int iDb) const
{
    if (iMaximum == iMinimum)
        return kFieldWidth;
    return kFieldWidth + (iDb - iMinimum) * BarWidth() / (iMaximum - iMinimum);
}

int LDBEdit::ValueAt(int iX) const
{
    return iMinimum + (iX - kFieldWidth) * (iMaximum - iMinimum) / BarWidth();
}

void LDBEdit::FieldEdited()
{
    // A number with or without the unit; anything else restores the text.
    QString strText = pField->text().trimmed();
    if (strText.endsWith("dB", Qt::CaseInsensitive))
        strText.chop(2);
    bool bOk = false;
    const int iTyped = strText.trimmed().toInt(&bOk);
    if (bOk)
        SetValue(iTyped);
    else
        pField->setText(Text(iValue));
}

void LDBEdit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect bar(kFieldWidth, 0, BarWidth(), height());
    if (!isEnabled()) {
        p.fillRect(bar, kGray);
        return;
    }
    p.fillRect(bar, Qt::black);
    const int iZero = PixelOf(std::clamp(0, iMinimum, iMaximum));
    const int iGreenEnd = PixelOf(std::min(iValue, 0));
    p.fillRect(QRect(QPoint(kFieldWidth, 0), QPoint(iGreenEnd - 1, height() - 1)), kGreen);
    if (iValue > 0)
        p.fillRect(QRect(QPoint(iZero, 0), QPoint(PixelOf(iValue) - 1, height() - 1)), kRed);
    // The thumb: three pixels with a raised edge, kept inside the bar.
    const int iThumb = std::clamp(PixelOf(iValue) - 1, kFieldWidth, width() - 3);
    const QRect thumb(iThumb, 0, 3, height());
    p.fillRect(thumb, kThumb);
    p.setPen(Qt::white);
    p.drawLine(thumb.topLeft(), thumb.bottomLeft());
    p.drawLine(thumb.topLeft(), thumb.topRight());
    p.setPen(Qt::darkGray);
    p.drawLine(thumb.topRight(), thumb.bottomRight());
    p.drawLine(thumb.bottomLeft(), thumb.bottomRight());
}

void LDBEdit::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && pEvent->position().x() >= kFieldWidth)
        SetValue(ValueAt(int(pEvent->position().x())));
}

void LDBEdit::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (pEvent->buttons() & Qt::LeftButton)
        SetValue(ValueAt(int(pEvent->position().x())));
}

void LDBEdit::resizeEvent(QResizeEvent*)
{
    pField->setGeometry(0, 0, kFieldWidth, height());
}

void LDBEdit::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(pEvent);
}
