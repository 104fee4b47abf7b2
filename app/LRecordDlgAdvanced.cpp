#include "app/LRecordDlgAdvanced.h"

#include "app/LDBEdit.h"
#include "platform/LSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>

LRecordDlgAdvanced::LRecordDlgAdvanced(QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle("Advanced Settings");
    LSettings& s = LSettings::Get();
    pAutoTrim = new QCheckBox("AutoTrim Recording", this);
    pAutoTrim->setChecked(s.GetBool("Recorder", "Autotrim", true));
    pVoice = new QCheckBox("Voice Activated Recording", this);
    pVoice->setChecked(s.GetBool("Recorder", "Vor", false));
    pVoice->setEnabled(pAutoTrim->isChecked());
    connect(pAutoTrim, &QCheckBox::toggled, pVoice, &QWidget::setEnabled);
    pThreshold = new LDBEdit(this);
    pThreshold->SetRange(-40, -6);
    pThreshold->SetValue(s.GetInt("Recorder", "Threshold", -24));
    pThreshold->setMinimumWidth(160);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(pAutoTrim);
    pLayout->addRow(pVoice);
    pLayout->addRow("Threshold:", pThreshold);
    pLayout->addRow(pButtons);
}

void LRecordDlgAdvanced::accept()
{
    LSettings& s = LSettings::Get();
    s.SetBool("Recorder", "Autotrim", pAutoTrim->isChecked());
    s.SetBool("Recorder", "Vor", pVoice->isChecked());
    s.SetInt("Recorder", "Threshold", pThreshold->GetValue());
    QDialog::accept();
}
