#pragma once

#include "effects/LSpectrum.h"

#include <QDialog>

class LFrequencyWindow;
class QCheckBox;

// "Frequency Analysis": the spectrum of 4096 frames at the cursor, all 2048
// bins or with "Four Times" the lowest 512 over the whole width (the choice
// kept in Settings\FreqFourTimes when closed with Close), and under the
// mouse the label "%d Hz, %d db". User-interface thread only.
class LOVFFTDlg : public QDialog {
    Q_OBJECT
public:
    LOVFFTDlg(int32_t iRate, const LSpectrumValues& values, QWidget* pParent);

    LFrequencyWindow* GetWindow() const { return pWindow; }
    QCheckBox* GetFourTimes() const { return pFourTimes; }
    QString Label(int iBin, int iHeight) const;

private:
    void Show();

    int32_t iRate;
    LSpectrumValues values;
    LFrequencyWindow* pWindow;
    QCheckBox* pFourTimes;
};
