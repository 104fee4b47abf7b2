#pragma once

#include <QWidget>
#include <algorithm>

class QLineEdit;

// A decibel slider: a 32-pixel text field showing "%ddB" ("--dB" below
// -126) and a bar right of it, green up to the value (at most 0 dB), red from
// 0 dB to a positive value, black beyond, with a thumb at the value. A click
// or drag in the bar or a number typed into the field sets the value, always
// clamped to the range; every change is signalled.
class LDBEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFieldWidth = 32;

    explicit LDBEdit(QWidget* pParent = nullptr);

    int GetValue() const { return iValue; }
    void SetValue(int iNew);
    void SetRange(int iMin, int iMax);
    int GetMinimum() const { return iMinimum; }
    int GetMaximum() const { return iMaximum; }
    QLineEdit& GetField() const { return *pField; }

    // Bar pixel (from the widget's left) of a value, and the value under one.
    int PixelOf(int iDb) const;
    int ValueAt(int iX) const;
    static QString Text(int iDb);

signals:
    void ValueChanged(int iDb);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent* pEvent) override;

private:
    int BarWidth() const { return std::max(1, width() - kFieldWidth); }
    void FieldEdited();

    int iValue = 0;
    int iMinimum = -36;
    int iMaximum = 12;
    QLineEdit* pField = nullptr;
};
