#include "app/LOVValuesDialog.h"
#include "effects/EfMixPaste.h"
#include "engine/LHeaderlessFormat.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <strings.h>

namespace {
const char* const aszRates[] = {"6000", "8000", "11025", "16000", "22050", "32000",
                                "44100", "48000", "64000", "88200", "96000"};

struct Label {
    const char* szName;
    const char* szText;
};
const Label aLabels[] = {
    {"AmplifyGain", "Amplify Gain (%):"},
    {"NormalizePeakLevel", "Normalize Peak Level (%):"},
    {"SilenceTimes", "Silence Time (ms):"},
    {"RepeatNumTimes", "Repeat number of times:"},
    {"SpSpeedPitch", "Speed/Pitch Adjust (%)"},
    {"ConstPitchSpeed", "Speed Adjust (%)"},
    {"ConstSpeedPitch", "Pitch Adjust (%)"},
    {"SampleRate", "Sample Rate:"},
};

QRadioButton* Choice(QButtonGroup* pGroup, const char* szText, int iValue)
{
    auto* pButton = new QRadioButton(szText);
    pGroup->addButton(pButton, iValue);
    return pButton;
}
} // namespace

QString LOVValuesDialog::LabelFor(const std::string& strName)
{
    for (const Label& l : aLabels)
        if (strcasecmp(l.szName, strName.c_str()) == 0)
            return l.szText;
    return QString::fromStdString(strName) + ":";
}

LOVValuesDialog::LOVValuesDialog(const std::string& strTitle, const LDialogValues& values, bool bStereo,
                                 bool bSelection, QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle(QString::fromStdString(strTitle));
    if (strTitle == "New File")
        BuildNewFile(values);
    else if (strTitle == "File Properties")
        BuildFileProperties(values);
    else if (strTitle == "Paste Mix" || strTitle == "Mix File")
        BuildMix(values, bStereo, bSelection);
    else
        BuildForm(values);
}

QComboBox* LOVValuesDialog::RateBox(const std::string& strName, int32_t iRate)
{
    auto* pBox = new QComboBox;
    pBox->setEditable(true);
    pBox->setObjectName(QString::fromStdString(strName));
    for (const char* sz : aszRates)
        pBox->addItem(sz);
    pBox->setCurrentText(QString::number(iRate));
    mapRates[strName] = pBox;
    return pBox;
}

void LOVValuesDialog::AddButtons(QBoxLayout* pLayout)
{
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pLayout->addWidget(pButtons);
}

void LOVValuesDialog::BuildNewFile(const LDialogValues& values)
{
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout;
    pForm->addRow("Sample Rate:", RateBox("SelectedSampleRate", values.Get("SelectedSampleRate", 44100)));
    pLayout->addLayout(pForm);
    auto* pGroup = new QButtonGroup(this);
    pGroup->setObjectName("SelectedChannels");
    auto* pBox = new QGroupBox("Channels");
    auto* pRadios = new QVBoxLayout(pBox);
    pRadios->addWidget(Choice(pGroup, "Mono (Single)", 1));
    pRadios->addWidget(Choice(pGroup, "Stereo (Dual)", 2));
    pGroup->button(values.Get("SelectedChannels", 1) == 1 ? 1 : 2)->setChecked(true);
    mapChoices["SelectedChannels"] = pGroup;
    pLayout->addWidget(pBox);
    AddButtons(pLayout);
}

void LOVValuesDialog::BuildFileProperties(const LDialogValues& values)
{
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout;
    auto* pFormat = new QComboBox;
    pFormat->setObjectName("VoxRawFileFormat");
    for (int i = 0; i < LHeaderlessFormat::kCount; ++i)
        pFormat->addItem(LHeaderlessFormat::GetName(i));
    pFormat->setCurrentIndex(values.Get("VoxRawFileFormat"));
    mapLists["VoxRawFileFormat"] = {pFormat, 0};
    pForm->addRow("Format:", pFormat);
    pForm->addRow("Sample Rate:", RateBox("VoxRawSampleRate", values.Get("VoxRawSampleRate", 8000)));
    auto* pChannels = new QComboBox;
    pChannels->setObjectName("VoxRawFileChannels");
    pChannels->addItems({"1 - Mono", "2 - Stereo"});
    pChannels->setCurrentIndex(values.Get("VoxRawFileChannels", 1) == 2 ? 1 : 0);
    mapLists["VoxRawFileChannels"] = {pChannels, 1};
    pForm->addRow("Channels:", pChannels);
    pLayout->addLayout(pForm);
    AddButtons(pLayout);
}

void LOVValuesDialog::BuildMix(const LDialogValues& values, bool bStereo, bool bSelection)
{
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout;
    auto* pVolume = new QLineEdit(QString::number(values.Get("PasteMixVolume", 100)));
    pVolume->setObjectName("PasteMixVolume");
    mapEdits["PasteMixVolume"] = pVolume;
    pForm->addRow("Mix Volume (%)", pVolume);
    auto* pPan = new QSlider(Qt::Horizontal);
    pPan->setObjectName("Pan");
    pPan->setRange(0, 100);
    pPan->setTickInterval(50);
    pPan->setTickPosition(QSlider::TicksBelow);
    pPan->setValue(values.Get("Pan", 50));
    pPan->setEnabled(bStereo);
    mapSliders["Pan"] = pPan;
    pForm->addRow("Stereo Pan (L - R)", pPan);
    pLayout->addLayout(pForm);

    auto* pBox = new QGroupBox("If mix audio is longer than selection:");
    auto* pRadios = new QVBoxLayout(pBox);
    auto* pGroup = new QButtonGroup(this);
    pGroup->setObjectName("LongerSelection");
    pRadios->addWidget(Choice(pGroup, "Increase selection", MIXMODE_EXTENDSELECTION));
    pRadios->addWidget(Choice(pGroup, "Insert silence", MIXMODE_INSERTSILENCE));
    pRadios->addWidget(Choice(pGroup, "Fade out mix", MIXMODE_FADEMIXOUT));
    QAbstractButton* pChecked = pGroup->button(values.Get("LongerSelection", MIXMODE_INSERTSILENCE));
    (pChecked ? pChecked : pGroup->button(MIXMODE_INSERTSILENCE))->setChecked(true);
    pBox->setEnabled(bSelection);
    mapChoices["LongerSelection"] = pGroup;
    auto* pFadeForm = new QFormLayout;
    auto* pFade = new QLineEdit(QString::number(values.Get("FadeOutTime", 250)));
    pFade->setObjectName("FadeOutTime");
    mapEdits["FadeOutTime"] = pFade;
    pFadeForm->addRow("Fade out time:", pFade);
    pRadios->addLayout(pFadeForm);
    auto fnFadeEnabled = [pGroup, pFade]() { pFade->setEnabled(pGroup->checkedId() == MIXMODE_FADEMIXOUT); };
    connect(pGroup, &QButtonGroup::idClicked, this, fnFadeEnabled);
    fnFadeEnabled();
    pLayout->addWidget(pBox);
    AddButtons(pLayout);
}

void LOVValuesDialog::BuildForm(const LDialogValues& values)
{
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout;
    for (const auto& [strName, iValue] : values.GetItems()) {
        if (strcasecmp(strName.c_str(), "SampleRate") == 0) {
            pForm->addRow(LabelFor(strName), RateBox(strName, iValue));
            continue;
        }
        auto* pEdit = new QLineEdit(QString::number(iValue));
        pEdit->setObjectName(QString::fromStdString(strName));
        mapEdits[strName] = pEdit;
        pForm->addRow(LabelFor(strName), pEdit);
    }
    pLayout->addLayout(pForm);
    AddButtons(pLayout);
}

void LOVValuesDialog::Take(LDialogValues& values) const
{
    for (const auto& [strName, pEdit] : mapEdits)
        if (pEdit->isEnabled() || strName != "FadeOutTime")
            values.Set(strName, pEdit->text().trimmed().toInt());
    for (const auto& [strName, pBox] : mapRates)
        values.Set(strName, pBox->currentText().trimmed().toInt());
    for (const auto& [strName, pGroup] : mapChoices)
        values.Set(strName, pGroup->checkedId());
    for (const auto& [strName, list] : mapLists)
        values.Set(strName, list.first->currentIndex() + list.second);
    for (const auto& [strName, pSlider] : mapSliders)
        values.Set(strName, pSlider->value());
}
