#pragma once

#include "engine/LFilePrompts.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QRadioButton;

// "MP3 Encoder Settings": constant or variable bit rate with their rates,
// quality, CRC and the stereo mode. The caller stores what OK leaves.
class LMp3EncodeDlg : public QDialog {
    Q_OBJECT
public:
    LMp3EncodeDlg(const LMp3EncoderSettings& settings, QWidget* pParent);
    LMp3EncoderSettings GetSettings() const;

private:
    void Show(const LMp3EncoderSettings& s);
    void EnableRateControls();

    QRadioButton* pCbr;
    QRadioButton* pVbr;
    QComboBox* pCbrRate;
    QCheckBox* pHighQuality;
    QComboBox* pMinRate;
    QComboBox* pMaxRate;
    QComboBox* pQuality;
    QCheckBox* pCrc;
    QComboBox* pMode;
};
