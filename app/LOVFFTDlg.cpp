#include "app/LOVFFTDlg.h"

#include "app/LFrequencyWindow.h"
#include "platform/LSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

LOVFFTDlg::LOVFFTDlg(int32_t iRate, const LSpectrumValues& values, QWidget* pParent)
    : QDialog(pParent)
    , iRate(iRate)
    , values(values)
{
    setWindowTitle("Frequency Analysis");
    auto* pLayout = new QVBoxLayout(this);
    pWindow = new LFrequencyWindow(this);
    pWindow->setObjectName("Spectrum");
    pLayout->addWidget(pWindow);
    pFourTimes = new QCheckBox("Four Times", this);
    pFourTimes->setObjectName("FourTimes");
    pFourTimes->setChecked(LSettings::Get().GetInt("Settings", "FreqFourTimes", 0) != 0);
    pLayout->addWidget(pFourTimes);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Close);
    pLayout->addWidget(pButtons);
    connect(pFourTimes, &QCheckBox::toggled, this, &LOVFFTDlg::Show);
    connect(pWindow, &LFrequencyWindow::Moved, this,
        [this](int iBin, int iHeight) { pWindow->SetLabel(Label(iBin, iHeight)); });
    connect(pButtons, &QDialogButtonBox::rejected, this, [this] {
        LSettings::Get().SetInt("Settings", "FreqFourTimes", pFourTimes->isChecked() ? 1 : 0);
        accept();
    });
    Show();
}

void LOVFFTDlg::Show()
{
    const size_t n = pFourTimes->isChecked() ? 512 : values.size();
    pWindow->SetValues(std::vector<int8_t>(values.begin(), values.begin() + ptrdiff_t(n)));
}

QString LOVFFTDlg::Label(int iBin, int iHeight) const
{
    return QString::asprintf(
        "%d Hz, %d db", LSpectrum::BinHz(iBin, iRate), int(std::lround(iHeight * -0.03125)));
}
