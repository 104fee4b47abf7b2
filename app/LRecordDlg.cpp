#include "app/LRecordDlg.h"

#include "app/LDBDisplay.h"
#include "app/LDBEdit.h"
#include "app/LModalRunner.h"
#include "app/LOVIcons.h"
#include "app/LRecordDlgAdvanced.h"
#include "app/LWaveWindow.h"
#include "platform/LChildProcess.h"
#include "platform/LSettings.h"
#include "platform/sound/LMixer.h"
#include "platform/sound/LWaveIn.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace {
constexpr int32_t kNoVoiceHoldMs = 216000000;
constexpr int32_t kVoiceHoldMs = 5000;
} // namespace

LRecordDlg::LRecordDlg(LRecordSource& src, QWidget* pParent)
    : LPlayerBaseDlg(src, pParent)
    , source(src)
{
    setWindowTitle("Record");
    recorder.SetNotify(this, 0);
    LSettings& s = LSettings::Get();

    pRecordDevice = new QComboBox(this);
    pRecordDevice->setToolTip("Record Device");
    for (int32_t i = 0; i < LWaveIn::GetDeviceCount(); ++i)
        pRecordDevice->addItem(QString::fromStdString(LWaveIn::GetDeviceName(i)));
    pRecordDevice->setCurrentIndex(
        std::clamp(s.GetInt("Recorder", "Device", 0), 0, std::max(0, pRecordDevice->count() - 1)));
    pInput = new QComboBox(this);
    pInput->setToolTip("Input");
    pRecordVolume = new LDBEdit(this);
    pRecordVolume->setToolTip("Record Volume");
    pRecordVolume->SetValue(s.GetInt("Recorder", "Volume", 0));
    pMixer = new QPushButton("Open Windows Record Mixer...", this);
    auto* pAdvanced = new QPushButton("Advanced Record Options...", this);
    auto* pRecord = new QPushButton(LOVIcons::Get(LOVIcons::Record), "", this);
    pRecord->setToolTip("Record (F8)");
    pRecord->setFocusPolicy(Qt::NoFocus);
    pRecord->setObjectName(QString::number(kRecord));
    pStatus = new QLabel(this);
    FillInputs();
    const int iChannel = s.GetInt("Recorder", "Channel", -1);
    if (iChannel + 1 < pInput->count())
        pInput->setCurrentIndex(std::max(0, iChannel + 1));
    connect(pRecordDevice, &QComboBox::currentIndexChanged, this, [this] { FillInputs(); });
    connect(pMixer, &QPushButton::clicked, this, &LRecordDlg::OnMixer);
    connect(pAdvanced, &QPushButton::clicked, this, &LRecordDlg::OnAdvanced);
    connect(pRecord, &QPushButton::clicked, this, &LRecordDlg::CmRecord);

    // While recording three transport buttons take other jobs.
    QAbstractButton* pStart = GetButton(kStart);
    QAbstractButton* pForward = GetButton(kForward);
    QAbstractButton* pEnd = GetButton(kEnd);
    for (QAbstractButton* p : { pStart, pForward, pEnd })
        p->disconnect(this);
    connect(pStart, &QAbstractButton::clicked, this,
        [this] { IsRecording() ? CmRestart() : LPlayerBaseDlg::CmStart(); });
    connect(pEnd, &QAbstractButton::clicked, this,
        [this] { IsRecording() ? CmRecordNext() : LPlayerBaseDlg::CmEnd(); });
    connect(pForward, &QAbstractButton::pressed, this,
        [this] { IsRecording() ? CmRetake() : CmFwd(); });
    connect(pForward, &QAbstractButton::released, this, &LPlayerBaseDlg::CmBackFwdStop);

    auto* pRow1 = new QHBoxLayout;
    pRow1->addWidget(pRecord);
    pRow1->addWidget(pRecordDevice, 1);
    pRow1->addWidget(pInput, 1);
    auto* pRow2 = new QHBoxLayout;
    pRow2->addWidget(pRecordVolume, 1);
    pRow2->addWidget(pMixer, 1);
    pRow2->addWidget(pAdvanced);
    auto* pLayout = static_cast<QVBoxLayout*>(layout());
    pLayout->addLayout(pRow1);
    pLayout->addLayout(pRow2);
    pLayout->addWidget(pStatus);
    ShowTransport(false);
}

LRecordDlg::~LRecordDlg()
{
    recorder.SetNotify(nullptr, 0);
    recorder.Stop();
}

void LRecordDlg::FillInputs()
{
    const int iDevice = pRecordDevice->currentIndex();
    pInput->clear();
    const int32_t n = LMixer::GetInputChannelCount(iDevice);
    for (int32_t i = -1; n > 0 && i < n; ++i) {
        std::string strName;
        LMixer::GetInputChannelName(iDevice, i, strName);
        pInput->addItem(QString::fromStdString(strName));
    }
    // Without input channels the volume is the desktop mixer's business.
    pRecordVolume->setVisible(pInput->count() > 0);
    pMixer->setVisible(pInput->count() == 0);
}

bool LRecordDlg::StartRecordMixer()
{
    // One mixer for the program's lifetime: it is not closed with the dialog.
    static LChildProcess mixer;
    if (!mixer.HasEnded())
        return true;
    if (!LChildProcess::FindOnPath("pavucontrol").empty())
        return mixer.Start({ "pavucontrol", "--tab=4" });
    if (LChildProcess::FindOnPath("alsamixer").empty())
        return false;
    for (const char* szTerminal : { "x-terminal-emulator", "xterm" })
        if (!LChildProcess::FindOnPath(szTerminal).empty())
            return mixer.Start({ szTerminal, "-e", "alsamixer", "--view=capture" });
    return false;
}

void LRecordDlg::OnMixer()
{
    if (StartRecordMixer())
        return;
    QMessageBox box(QMessageBox::Information, "Orvenna",
        "No record mixer was found. Install pavucontrol (or alsamixer and a terminal) to set "
        "the recording level.",
        QMessageBox::Ok, this);
    LModalRunner::Exec(box);
}

void LRecordDlg::OnAdvanced()
{
    LRecordDlgAdvanced box(this);
    LModalRunner::Exec(box);
}

void LRecordDlg::showEvent(QShowEvent* pEvent)
{
    LPlayerBaseDlg::showEvent(pEvent);
    if (!bStarted) {
        bStarted = true;
        CmRecord();
    }
}

void LRecordDlg::RecordFrom(int32_t iMs)
{
    CmStop();
    recorder.Stop();
    const int iDevice = pRecordDevice->currentIndex();
    LMixer::SetInputChannel(iDevice, pInput->currentIndex() - 1, pRecordVolume->GetValue());
    LSettings& s = LSettings::Get();
    const bool bAutoTrim = s.GetBool("Recorder", "Autotrim", true);
    const int8_t cThreshold
        = int8_t(bAutoTrim ? std::clamp(s.GetInt("Recorder", "Threshold", -24), -40, -6) : -127);
    const int32_t iHold
        = bAutoTrim && s.GetBool("Recorder", "Vor", false) ? kVoiceHoldMs : kNoVoiceHoldMs;
    GetStrip().Stop();
    recorder.SetDevice(iDevice);
    iLastTakeMs = iMs;
    iStripFrames = 0;
    UpdateTime(iMs);
    if (!recorder.Start(source.GetTarget().OpenSink(iMs), 0, cThreshold, iHold, 0)) {
        source.GetTarget().TakeProgress(-1);
        InitFile();
        ShowTransport(false);
        pStatus->setText("The record device could not be opened.");
    }
}

void LRecordDlg::CmRecord()
{
    if (!IsRecording())
        RecordFrom(GetPositionMs());
}

void LRecordDlg::CmRetake()
{
    RecordFrom(iLastTakeMs);
}

void LRecordDlg::CmRestart()
{
    RecordFrom(0);
}

void LRecordDlg::CmRecordNext()
{
    done(kRecordNext);
}

void LRecordDlg::ShowTransport(bool bRecording)
{
    bRecordingShown = bRecording;
    const char* aTips[2][4] = {
        { "Go to Start (Home)", "Rewind (<-)", "Forward (->)", "Go to End (End)" },
        { "Restart (F6)", "Rewind (<-)", "Re-Take (F7)", "Record Next (F5)" },
    };
    const int aIds[4] = { kStart, kRewind, kForward, kEnd };
    for (int i = 0; i < 4; ++i)
        GetButton(aIds[i])->setToolTip(aTips[bRecording][i]);
    GetButton(kRewind)->setEnabled(!bRecording);
    GetButton(kPlay)->setEnabled(!bRecording);
    GetButton(kScrub)->setEnabled(!bRecording);
    ShowStatus();
}

void LRecordDlg::ShowStatus()
{
    QString str = !IsRecording()                         ? QString()
        : recorder.GetState() == LRecordGate::kRecording ? QString("Recording")
                                                         : QString("Waiting for sound");
    // Lost input is shown as it happens, and stays after the take.
    const uint32_t uDropouts = recorder.GetDropouts();
    if (uDropouts > 0)
        str += QString("%1%2 dropout%3")
                   .arg(str.isEmpty() ? "" : ", ")
                   .arg(uDropouts)
                   .arg(uDropouts == 1 ? "" : "s");
    pStatus->setText(str);
}

void LRecordDlg::srntfStop(uintptr_t)
{
    source.GetTarget().TakeProgress(-1);
    GetLevels().Clear();
    GetStrip().Stop();
    InitFile();
    ShowTransport(false);
    if (recorder.IsDeviceLost())
        pStatus->setText("The record device stopped delivering; the take was kept.");
}

void LRecordDlg::srntfPosition(int32_t iMs, uintptr_t)
{
    const int32_t iFrames = recorder.GetFramesWritten();
    source.GetTarget().TakeProgress(iFrames);
    // The strip follows the take, its source renewed once a second (it shows
    // two seconds around the position, so a renewal reads little).
    if (iFrames >= iStripFrames + source.GetTarget().GetRate()) {
        iStripFrames = iFrames;
        GetStrip().Stop();
        InitFile();
    }
    UpdateTime(iLastTakeMs + iMs);
    ShowStatus();
}

void LRecordDlg::srntfLevels(const LSoundLevels& levels, uintptr_t)
{
    GetLevels().SetLevels(levels);
}

void LRecordDlg::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key()) {
    case Qt::Key_F5:
        CmRecordNext();
        return;
    case Qt::Key_F6:
        CmRestart();
        return;
    case Qt::Key_F7:
        CmRetake();
        return;
    case Qt::Key_F8:
        CmRecord();
        return;
    case Qt::Key_Escape:
        if (IsRecording()) {
            recorder.Stop();
            return;
        }
        break;
    default:
        break;
    }
    LPlayerBaseDlg::keyPressEvent(pEvent);
}

void LRecordDlg::done(int iResult)
{
    recorder.Stop();
    LSettings& s = LSettings::Get();
    s.SetInt("Recorder", "Volume", pRecordVolume->GetValue());
    s.SetInt("Recorder", "Device", pRecordDevice->currentIndex());
    s.SetInt("Recorder", "Channel", pInput->currentIndex() - 1);
    LPlayerBaseDlg::done(iResult);
}
