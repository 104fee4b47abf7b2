#include "app/LOVCurveDialog.h"

#include "app/LBrainWaveWindow.h"
#include "audio/LSoundTime.h"
#include "platform/LSettings.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

LOVCurveDialog::LOVCurveDialog(const std::string& strTitle, const LDialogValues& values,
    int32_t iFrames, int32_t iRate, bool bAudio, QWidget* pParent)
    : QDialog(pParent)
    , shown(values)
    , list(values.curve)
    , iFrames(iFrames)
    , iRate(iRate)
{
    setWindowTitle(QString::fromStdString(strTitle));
    auto* pLayout = new QVBoxLayout(this);
    pEditor = new LBrainWaveWindow(list, this);
    pEditor->setObjectName("Curve");
    pEditor->setMinimumSize(400, 220);
    pLayout->addWidget(pEditor);
    connect(pEditor, &LBrainWaveWindow::Moved, this,
        [this](int x, int y) { pEditor->SetLabel(Label(x, y)); });

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* pFlat = pButtons->addButton("Set Flat", QDialogButtonBox::ResetRole);
    pFlat->setObjectName("SetFlat");
    // Only the dialog's copy: Cancel keeps the stored curve.
    connect(pFlat, &QPushButton::clicked, this, [this] {
        list = PointList::Flat();
        pEditor->update();
    });
    if (values.fnPreview) {
        QPushButton* pPreview = pButtons->addButton("Preview", QDialogButtonBox::ActionRole);
        pPreview->setObjectName("Preview");
        pPreview->setEnabled(bAudio);
        connect(pPreview, &QPushButton::clicked, this, &LOVCurveDialog::Preview);
        connect(pEditor, &LBrainWaveWindow::Released, this, [this] {
            if (player.GetState() != 0)
                Preview();
        });
        connect(this, &QDialog::finished, this, [this] { player.Stop(); });
        player.SetDevice(std::clamp(LSettings::Get().GetInt("Player", "Device", 0), 0,
            std::max(0, int(LWaveOut::GetDeviceCount()) - 1)));
    }
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pLayout->addWidget(pButtons);
}

QString LOVCurveDialog::Label(int x, int y) const
{
    if (shown.eCurve == LDialogValues::kFrequencyCurve)
        return QString::asprintf("%d Hz, %d %%", int(x * 78.43137254901961), int(y * 0.78125));
    LSoundTime at;
    at.SetSamples(int32_t(int64_t(iFrames) * x / 255), iRate);
    return QString::asprintf(
        "(%s, %d %%)", at.GetHundredthsText().c_str(), int(y * 0.7843137254901961));
}

void LOVCurveDialog::Preview()
{
    LDialogValues now = shown;
    Take(now);
    player.Start(shown.fnPreview(now), 0);
}
