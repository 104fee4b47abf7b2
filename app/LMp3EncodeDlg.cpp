#include "app/LMp3EncodeDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QComboBox* RateBox(const char* szName)
{
    auto* pBox = new QComboBox;
    pBox->setObjectName(szName);
    pBox->setEditable(true);
    for (int iRate : LMp3EncoderSettings::kBitRates)
        pBox->addItem(QString::number(iRate));
    return pBox;
}
} // namespace

LMp3EncodeDlg::LMp3EncodeDlg(const LMp3EncoderSettings& settings, QWidget* pParent)
    : QDialog(pParent)
    , pCbr(new QRadioButton("Constant Bitrate (CBR)"))
    , pVbr(new QRadioButton("Variable Bitrate (VBR)"))
    , pCbrRate(RateBox("103"))
    , pHighQuality(new QCheckBox("High quality encoding (slower)"))
    , pMinRate(RateBox("106"))
    , pMaxRate(RateBox("107"))
    , pQuality(new QComboBox)
    , pCrc(new QCheckBox("Include CRC to detect errors"))
    , pMode(new QComboBox)
{
    setWindowTitle("MP3 Encoder Settings");
    for (int i = 0; i <= 9; ++i)
        pQuality->addItem(QString::number(i));
    for (const char* szMode : LMp3EncoderSettings::kModeNames)
        pMode->addItem(szMode);

    auto* pCbrBox = new QGroupBox;
    auto* pCbrForm = new QFormLayout(pCbrBox);
    pCbrForm->addRow(pCbr);
    pCbrForm->addRow("Bit rate (kbit/s):", pCbrRate);
    pCbrForm->addRow(pHighQuality);
    auto* pVbrBox = new QGroupBox;
    auto* pVbrForm = new QFormLayout(pVbrBox);
    pVbrForm->addRow(pVbr);
    pVbrForm->addRow("Minimum (kbit/s):", pMinRate);
    pVbrForm->addRow("Maximum (kbit/s):", pMaxRate);
    pVbrForm->addRow("Quality:", pQuality);
    auto* pOther = new QFormLayout;
    pOther->addRow(pCrc);
    pOther->addRow("Stereo Encoding", pMode);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* pDefaults = pButtons->addButton("Restore Defaults", QDialogButtonBox::ResetRole);
    connect(pDefaults, &QPushButton::clicked, this, [this]() { Show(LMp3EncoderSettings {}); });
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pCbr, &QRadioButton::toggled, this, &LMp3EncodeDlg::EnableRateControls);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pCbrBox);
    pLayout->addWidget(pVbrBox);
    pLayout->addLayout(pOther);
    pLayout->addWidget(pButtons);
    Show(settings);
}

void LMp3EncodeDlg::Show(const LMp3EncoderSettings& s)
{
    (s.bConstantBitRate ? pCbr : pVbr)->setChecked(true);
    pCbrRate->setCurrentText(QString::number(s.iCBRBitRate));
    pHighQuality->setChecked(s.bHighQuality);
    pMinRate->setCurrentText(QString::number(s.iVBRMinBitRate));
    pMaxRate->setCurrentText(QString::number(s.iVBRMaxBitRate));
    pQuality->setCurrentIndex(std::clamp(s.iVBRQuality, 0, 9));
    pCrc->setChecked(s.bErrorProtection);
    pMode->setCurrentIndex(std::clamp(s.iChannelMode, 0, 3));
    EnableRateControls();
}

void LMp3EncodeDlg::EnableRateControls()
{
    const bool bCbr = pCbr->isChecked();
    pCbrRate->setEnabled(bCbr);
    pHighQuality->setEnabled(bCbr);
    pMinRate->setEnabled(!bCbr);
    pMaxRate->setEnabled(!bCbr);
    pQuality->setEnabled(!bCbr);
}

LMp3EncoderSettings LMp3EncodeDlg::GetSettings() const
{
    LMp3EncoderSettings s;
    s.bConstantBitRate = pCbr->isChecked();
    s.iCBRBitRate = pCbrRate->currentText().trimmed().toInt();
    s.bHighQuality = pHighQuality->isChecked();
    s.iVBRMinBitRate = pMinRate->currentText().trimmed().toInt();
    s.iVBRMaxBitRate = pMaxRate->currentText().trimmed().toInt();
    s.iVBRQuality = pQuality->currentIndex();
    s.bErrorProtection = pCrc->isChecked();
    s.iChannelMode = pMode->currentIndex();
    return s;
}
