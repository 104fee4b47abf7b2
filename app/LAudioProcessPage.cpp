#include "app/LAudioProcessPage.h"

#include "app/LModalRunner.h"
#include "platform/sound/LSoundDevices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

LAudioProcessPage::LAudioProcessPage(QWidget* pParent)
    : QWidget(pParent)
    , pDevice(new QComboBox)
    , pAutoPlayback(new QCheckBox("Automatic playback after any edit or effect"))
    , pThreshold(new QSpinBox)
    , pFolder(new QLineEdit)
{
    const LAudioProcessSettings values = LAudioProcessSettings::Load();
    auto* pLayout = new QFormLayout(this);
    pDevice->setObjectName("101");
    for (const std::string& strName : LSoundDevices::List(false))
        pDevice->addItem(QString::fromStdString(strName));
    pDevice->setCurrentIndex(std::clamp(values.iSoundOutDevice, 0, pDevice->count() - 1));
    pLayout->addRow("Sound Play Device:", pDevice);
    pAutoPlayback->setObjectName("102");
    pAutoPlayback->setChecked(values.bAutoPlaybackAfterEffects);
    pLayout->addRow(pAutoPlayback);
    pThreshold->setObjectName("103");
    pThreshold->setRange(
        LAudioProcessSettings::kMinThreshold, LAudioProcessSettings::kMaxThreshold);
    pThreshold->setSuffix(" dB");
    pThreshold->setValue(values.iAutoTrimThreshold);
    pLayout->addRow("AutoTrim Threshold", pThreshold);
    pFolder->setObjectName("105");
    pFolder->setText(QString::fromStdString(values.strWorkingFolder));
    auto* pBrowse = new QPushButton("...");
    pBrowse->setObjectName("106");
    pBrowse->setFixedWidth(pBrowse->fontMetrics().horizontalAdvance("...") * 3);
    auto* pFolderRow = new QHBoxLayout;
    pFolderRow->addWidget(pFolder, 1);
    pFolderRow->addWidget(pBrowse);
    pLayout->addRow("Audio Working Folder", pFolderRow);
    connect(pBrowse, &QPushButton::clicked, this, &LAudioProcessPage::CmBrowse);
}

void LAudioProcessPage::CmBrowse()
{
    QFileDialog box(this, "Locate folder:", pFolder->text());
    box.setFileMode(QFileDialog::Directory);
    box.setOption(QFileDialog::ShowDirsOnly);
    if (LModalRunner::Exec(box) == QDialog::Accepted && !box.selectedFiles().isEmpty())
        pFolder->setText(box.selectedFiles().front());
}

bool LAudioProcessPage::Apply(bool& bFolderChanged, std::string& strError)
{
    LAudioProcessSettings values;
    values.iSoundOutDevice = std::max(pDevice->currentIndex(), 0);
    values.bAutoPlaybackAfterEffects = pAutoPlayback->isChecked();
    values.iAutoTrimThreshold = pThreshold->value();
    values.strWorkingFolder = pFolder->text().trimmed().toStdString();
    return values.Store(bFolderChanged, strError);
}
