#include "app/LOVValuesDialog.h"

#include "app/LDBEdit.h"
#include "platform/LSettings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const char* const aszRates[] = { "6000", "8000", "11025", "16000", "22050", "32000", "44100",
    "48000", "64000", "88200", "96000" };
} // namespace

LOVValuesDialog::LOVValuesDialog(const std::string& strTitle, const LDialogValues& values,
    bool bStereo, bool bSelection, QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle(QString::fromStdString(strTitle));
    auto* pLayout = new QVBoxLayout(this);
    auto* pForm = new QFormLayout;
    if (values.pForm) {
        for (const LValueField& f : *values.pForm)
            AddField(*pForm, f, values.Get(f.szKey, f.iDefault), bStereo, bSelection);
    } else {
        for (const auto& [strKey, iValue] : values.GetItems()) {
            const std::string strLabel = strKey + ":";
            AddField(*pForm,
                LValueField { strKey.c_str(), strLabel.c_str(), INT32_MIN, INT32_MAX, 0 }, iValue,
                bStereo, bSelection);
        }
    }
    // Fields that follow another field's choice are enabled by it.
    if (values.pForm) {
        for (const LValueField& f : *values.pForm) {
            if (!f.szStoredWith)
                continue;
            auto* pGroup = findChild<QButtonGroup*>(f.szStoredWith);
            auto* pField = findChild<QWidget*>(f.szKey);
            if (!pGroup || !pField)
                continue;
            const int iWhen = f.iStoredWhen;
            auto fnFollow
                = [pGroup, pField, iWhen]() { pField->setEnabled(pGroup->checkedId() == iWhen); };
            connect(pGroup, &QButtonGroup::idClicked, this, fnFollow);
            fnFollow();
        }
    }
    pLayout->addLayout(pForm);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (values.fnPreview) {
        shown = values;
        QPushButton* pPreview = pButtons->addButton("Preview", QDialogButtonBox::ActionRole);
        pPreview->setObjectName("Preview");
        pPreview->setEnabled(bSelection);
        connect(pPreview, &QPushButton::clicked, this, &LOVValuesDialog::Preview);
        connect(this, &QDialog::finished, this, [this] { player.Stop(); });
        player.SetDevice(std::clamp(LSettings::Get().GetInt("Player", "Device", 0), 0,
            std::max(0, int(LWaveOut::GetDeviceCount()) - 1)));
    }
    pLayout->addWidget(pButtons);
}

void LOVValuesDialog::AddField(
    QFormLayout& form, const LValueField& f, int32_t iValue, bool bStereo, bool bSelection)
{
    const QString strName = f.szKey;
    QWidget* pWidget = nullptr;
    std::function<int32_t()> fnValue;
    switch (f.eKind) {
    case LValueField::Edit: {
        auto* pEdit = new QLineEdit(QString::number(iValue));
        fnValue = [pEdit] { return int32_t(pEdit->text().trimmed().toInt()); };
        pWidget = pEdit;
        form.addRow(f.szLabel, pEdit);
        break;
    }
    case LValueField::Rate:
    case LValueField::Combo: {
        auto* pBox = new QComboBox;
        if (f.eKind == LValueField::Rate) {
            pBox->setEditable(true);
            for (const char* sz : aszRates)
                pBox->addItem(sz);
            pBox->setCurrentText(QString::number(iValue));
            fnValue = [pBox] { return int32_t(pBox->currentText().trimmed().toInt()); };
        } else {
            for (const auto& [szText, iChoice] : f.choices)
                pBox->addItem(szText, iChoice);
            pBox->setCurrentIndex(std::max(0, pBox->findData(iValue)));
            fnValue = [pBox] { return int32_t(pBox->currentData().toInt()); };
        }
        pWidget = pBox;
        form.addRow(f.szLabel, pBox);
        break;
    }
    case LValueField::Radio: {
        auto* pBox = new QGroupBox(f.szLabel);
        auto* pRadios = new QVBoxLayout(pBox);
        auto* pGroup = new QButtonGroup(this);
        pGroup->setObjectName(strName);
        for (const auto& [szText, iChoice] : f.choices) {
            auto* pButton = new QRadioButton(szText);
            pGroup->addButton(pButton, iChoice);
            pRadios->addWidget(pButton);
        }
        QAbstractButton* pChecked = pGroup->button(iValue);
        (pChecked ? pChecked : pGroup->button(f.iDefault))->setChecked(true);
        fnValue = [pGroup] { return int32_t(pGroup->checkedId()); };
        pWidget = pBox;
        form.addRow(pBox);
        break;
    }
    case LValueField::Decibel: {
        auto* pDb = new LDBEdit;
        pDb->SetRange(f.iMin, f.iMax);
        pDb->SetValue(iValue);
        pDb->setMinimumWidth(200);
        fnValue = [pDb] { return int32_t(pDb->GetValue()); };
        pWidget = pDb;
        form.addRow(f.szLabel, pDb);
        break;
    }
    case LValueField::Slider: {
        auto* pSlider = new QSlider(Qt::Horizontal);
        pSlider->setRange(f.iMin, f.iMax);
        pSlider->setTickInterval((f.iMax - f.iMin) / 2);
        pSlider->setTickPosition(QSlider::TicksBelow);
        pSlider->setValue(iValue);
        fnValue = [pSlider] { return int32_t(pSlider->value()); };
        pWidget = pSlider;
        form.addRow(f.szLabel, pSlider);
        break;
    }
    }
    if (f.eKind != LValueField::Radio)
        pWidget->setObjectName(strName);
    if ((f.uWhen & LValueField::kStereoOnly) && !bStereo)
        pWidget->setEnabled(false);
    if ((f.uWhen & LValueField::kSelectionOnly) && !bSelection)
        pWidget->setEnabled(false);
    fields.push_back({ f.szKey, pWidget, std::move(fnValue) });
}

void LOVValuesDialog::Take(LDialogValues& values) const
{
    for (const Field& f : fields)
        if (f.pWidget->isEnabled())
            values.Set(f.strKey, f.fnValue());
}

void LOVValuesDialog::Preview()
{
    LDialogValues now = shown;
    Take(now);
    player.Start(shown.fnPreview(now), 0);
}
