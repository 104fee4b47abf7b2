#include "app/LPlayerBaseDlg.h"

#include "app/LDBDisplay.h"
#include "app/LDBEdit.h"
#include "app/LOVIcons.h"
#include "app/LWaveWindow.h"
#include "audio/LSoundTime.h"
#include "effects/LSRCWaveScan.h"
#include "platform/LSettings.h"
#include "platform/sound/LMixer.h"
#include "platform/sound/LWaveOut.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

LPlayerBaseDlg::LPlayerBaseDlg(LPlayerSource& src, QWidget* pParent)
    : QDialog(pParent)
    , source(src)
{
    player.SetNotify(this, 0);
    InitDialog();
}

LPlayerBaseDlg::~LPlayerBaseDlg()
{
    DestroyDialog();
}

QAbstractButton* LPlayerBaseDlg::AddButton(int iId, const char* szTip, int iKind, bool bCheckable)
{
    auto* p = new QToolButton(this);
    p->setIcon(LOVIcons::Get(LOVIcons::Kind(iKind)));
    p->setToolTip(szTip);
    p->setCheckable(bCheckable);
    p->setFocusPolicy(Qt::NoFocus);
    p->setAutoRaise(false);
    mapButtons[iId] = p;
    return p;
}

void LPlayerBaseDlg::InitDialog()
{
    pName = new QLineEdit(this);
    pName->setToolTip("Name");
    ShowName();
    connect(pName, &QLineEdit::textEdited, this, [this] { bNameChanged = true; });

    pTime = new QLabel(this);
    QFont font = pTime->font();
    font.setPixelSize(16);
    font.setBold(true);
    pTime->setFont(font);
    pLevels = new LDBDisplay(this);
    pLevels->Clear();
    pLevels->setMinimumSize(120, 12);
    pStrip = new LWaveWindow(this);
    pStrip->setMinimumHeight(48);
    connect(pStrip, &LWaveWindow::Notify, this, [this](int iCode) {
        if (iCode == LWaveWindow::kReleased)
            OnStripReleased();
    });
    pPosition = new QScrollBar(Qt::Horizontal, this);
    pPosition->setRange(0, 100);
    pPosition->setEnabled(false);

    pDevice = new QComboBox(this);
    pDevice->setToolTip("Playback Device");
    for (int32_t i = 0; i < LWaveOut::GetDeviceCount(); ++i)
        pDevice->addItem(QString::fromStdString(LWaveOut::GetDeviceName(i)));
    cDevice = int8_t(std::clamp(
        LSettings::Get().GetInt("Player", "Device", 0), 0, std::max(0, pDevice->count() - 1)));
    pDevice->setCurrentIndex(cDevice);
    player.SetDevice(cDevice);
    pVolume = new LDBEdit(this);
    pVolume->setToolTip("Volume");
    pVolume->SetValue(LSettings::Get().GetInt("Player", "VolumeDB", 0));
    LMixer::SetOutVolume(cDevice, pVolume->GetValue(), 0);
    connect(pDevice, &QComboBox::currentIndexChanged, this, &LPlayerBaseDlg::OnDevice);
    connect(pVolume, &LDBEdit::ValueChanged, this, &LPlayerBaseDlg::OnVolume);

    auto* pButtons = new QHBoxLayout;
    connect(AddButton(kPlay, "Play (F9)", LOVIcons::Play, true), &QAbstractButton::clicked, this,
        &LPlayerBaseDlg::CmPlay);
    connect(AddButton(kScrub, "Scrub (Space)", LOVIcons::Scrub, true), &QAbstractButton::clicked,
        this, &LPlayerBaseDlg::CmScrub);
    connect(AddButton(kStop, "Stop (Esc)", LOVIcons::Stop, false), &QAbstractButton::clicked, this,
        &LPlayerBaseDlg::CmStop);
    connect(AddButton(kStart, "Go to Start (Home)", LOVIcons::Start, false),
        &QAbstractButton::clicked, this, &LPlayerBaseDlg::CmStart);
    QAbstractButton* pRewind = AddButton(kRewind, "Rewind (<-)", LOVIcons::Rewind, false);
    connect(pRewind, &QAbstractButton::pressed, this, &LPlayerBaseDlg::CmBack);
    connect(pRewind, &QAbstractButton::released, this, &LPlayerBaseDlg::CmBackFwdStop);
    QAbstractButton* pForward = AddButton(kForward, "Forward (->)", LOVIcons::Forward, false);
    connect(pForward, &QAbstractButton::pressed, this, &LPlayerBaseDlg::CmFwd);
    connect(pForward, &QAbstractButton::released, this, &LPlayerBaseDlg::CmBackFwdStop);
    connect(AddButton(kEnd, "Go to End (End)", LOVIcons::End, false), &QAbstractButton::clicked,
        this, &LPlayerBaseDlg::CmEnd);
    for (const auto& [iId, p] : mapButtons)
        pButtons->addWidget(p);
    pButtons->addStretch();

    auto* pTop = new QHBoxLayout;
    pTop->addWidget(pTime);
    pTop->addWidget(pLevels, 1);
    auto* pBottom = new QHBoxLayout;
    pBottom->addWidget(pDevice, 1);
    pBottom->addWidget(pVolume, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pName);
    pLayout->addLayout(pTop);
    pLayout->addWidget(pStrip, 1);
    pLayout->addWidget(pPosition);
    pLayout->addLayout(pButtons);
    pLayout->addLayout(pBottom);

    InitFile();
}

void LPlayerBaseDlg::InitFile()
{
    if (pStrip->IsRunning())
        return;
    SourceHandle h;
    if (!OpenSource(h))
        return;
    ReadRateAndLength(*h);
    pStrip->SetEndMark(h->GetLength());
    pStrip->SetSource(h);
    UpdateTime(iLengthMs);
}

void LPlayerBaseDlg::ShowName()
{
    pName->setText(QString::fromStdString(source.szName));
    pName->setEnabled(!(source.wFlags & LPlayerSource::kNameReadOnly));
    bNameChanged = false;
}

void LPlayerBaseDlg::DestroyDialog()
{
    if (bDestroyed)
        return;
    bDestroyed = true;
    pStrip->Stop();
    player.Stop();
    LSettings::Get().SetInt("Player", "Device", cDevice);
    LSettings::Get().SetInt("Player", "VolumeDB", pVolume->GetValue());
    if (bNameChanged) {
        source.szName = pName->text().toStdString();
        source.wFlags |= LPlayerSource::kNameChanged;
    }
}

void LPlayerBaseDlg::done(int iResult)
{
    DestroyDialog();
    QDialog::done(iResult);
}

bool LPlayerBaseDlg::OpenSource(SourceHandle& h)
{
    h = SourceHandle();
    source.OpenSource(h);
    return h && !h->IsError();
}

void LPlayerBaseDlg::OnDevice(int iIndex)
{
    if (iIndex < 0)
        return;
    cDevice = int8_t(iIndex);
    player.SetDevice(cDevice);
}

void LPlayerBaseDlg::OnVolume(int iDb)
{
    LMixer::SetOutVolume(cDevice, iDb, 0);
}

void LPlayerBaseDlg::ReadRateAndLength(LSoundSourceBase& src)
{
    iRate = src.GetSampleRate();
    iLengthMs = LSoundTime::FramesToMs(src.GetLength(), iRate);
}

void LPlayerBaseDlg::OnStripReleased()
{
    const int32_t iFrame = pStrip->GetCursor();
    if (player.GetState() != 0)
        player.Seek(iFrame);
    else if (iRate > 0)
        UpdateTime(LSoundTime::FramesToMs(iFrame, iRate));
}

void LPlayerBaseDlg::CmPlay()
{
    if (player.GetState() & LSoundPlayer::kCued) {
        player.Play();
        return;
    }
    player.Stop();
    SourceHandle h;
    if (OpenSource(h)) {
        ReadRateAndLength(*h);
        // Played through: the next start is from the beginning.
        if (iPositionMs >= iLengthMs)
            UpdateTime(0);
        if (iPositionMs != 0)
            h->Seek(LSoundTime::MsToFrames(iPositionMs, iRate));
        player.Start(h, 0);
    }
    mapButtons[kPlay]->setChecked(player.GetState() != 0);
}

void LPlayerBaseDlg::CmPlayEnd()
{
    player.Stop();
    SourceHandle h;
    if (!OpenSource(h))
        return;
    ReadRateAndLength(*h);
    UpdateTime(std::max(0, iLengthMs - 3000));
    h->Seek(LSoundTime::MsToFrames(iPositionMs, iRate));
    player.Start(h, 0);
}

void LPlayerBaseDlg::CmStop()
{
    player.Stop();
}

void LPlayerBaseDlg::CmStart()
{
    UpdateTime(0);
    if (player.GetState() != 0)
        player.Seek(0);
}

void LPlayerBaseDlg::CmScrub()
{
    if (player.GetState() == 0)
        CmPlay();
    if (player.GetState() != 0)
        player.Cue();
    mapButtons[kScrub]->setChecked((player.GetState() & LSoundPlayer::kCued) != 0);
}

void LPlayerBaseDlg::CmEnd()
{
    int32_t iTarget = iLengthMs;
    if (player.GetState() != 0) {
        iTarget = std::max(0, iLengthMs - 1500);
        player.Seek(LSoundTime::MsToFrames(iTarget, iRate));
    }
    UpdateTime(iTarget);
}

void LPlayerBaseDlg::StartWaveScan(bool bForward)
{
    const uint16_t wState = player.GetState();
    iResume = (wState & LSoundPlayer::kCued) ? kResumeScrub : wState ? kResumePlay : kResumeNone;
    (bForward ? bForwarding : bRewinding) = true;
    player.Stop();
    SourceHandle h;
    if (!OpenSource(h))
        return;
    iRate = h->GetSampleRate();
    h->Seek(LSoundTime::MsToFrames(iPositionMs, iRate));
    const bool bScrub = iResume == kResumeScrub;
    const double dStart = bScrub ? 0.1 : bForward ? 1.5 : 0.5;
    const double dEnd = bScrub ? 3.0 : 7.0;
    const double dSign = bForward ? 1.0 : -1.0;
    player.Start(SourceHandle(new LSRCWaveScan(h, dSign * dStart, dSign * dEnd, 8000)), 0);
}

void LPlayerBaseDlg::CmBackFwdStop()
{
    if (!IsScanning())
        return;
    const int iWas = iResume;
    player.Stop();
    bRewinding = bForwarding = false;
    iResume = kResumeNone;
    if (iWas == kResumePlay)
        CmPlay();
    else if (iWas == kResumeScrub)
        CmScrub();
}

void LPlayerBaseDlg::UpdateTime(int32_t iMs)
{
    iPositionMs = std::max(0, iMs);
    pTime->setText(QString::fromStdString(LSoundTime(iPositionMs).GetHundredthsText()));
    const int iBar = iLengthMs > 0 ? int(int64_t(iPositionMs) * 100 / iLengthMs) : 0;
    pPosition->setValue(iBar);
    if (pStrip->IsRunning() && iRate > 0) {
        const int32_t iFrame = LSoundTime::MsToFrames(iPositionMs, iRate);
        const bool bScrub = (player.GetState() & LSoundPlayer::kCued) != 0;
        pStrip->SetCursor(iFrame, bScrub ? LSoundTime::MsToFrames(25, iRate) : 0);
        pStrip->SetView(std::max(0, iFrame - iRate), 2 * iRate);
    }
}

void LPlayerBaseDlg::spntfStop(uintptr_t)
{
    pLevels->Clear();
    mapButtons[kPlay]->setChecked(false);
    mapButtons[kScrub]->setChecked(false);
}

void LPlayerBaseDlg::spntfPosition(int32_t iMs, uintptr_t)
{
    UpdateTime(iMs);
}

void LPlayerBaseDlg::spntfLevels(const LSoundLevels& levels, uintptr_t)
{
    pLevels->SetLevels(levels);
}

void LPlayerBaseDlg::keyPressEvent(QKeyEvent* pEvent)
{
    const bool bAlt = (pEvent->modifiers() & Qt::AltModifier) != 0;
    switch (pEvent->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!pEvent->isAutoRepeat()) {
            QAbstractButton* p = mapButtons[pEvent->key() == Qt::Key_Left ? kRewind : kForward];
            p->setDown(true);
            StartWaveScan(pEvent->key() == Qt::Key_Right);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        done(1);
        return;
    case Qt::Key_Escape:
        CmStop();
        return;
    case Qt::Key_Home:
        CmStart();
        return;
    case Qt::Key_End:
        CmEnd();
        return;
    case Qt::Key_F9:
        bAlt ? CmPlayEnd() : CmPlay();
        return;
    case Qt::Key_F10:
        CmScrub();
        return;
    case Qt::Key_Space:
        if (pName->hasFocus())
            break;
        (player.GetState() & LSoundPlayer::kCued) ? CmPlay() : CmScrub();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(pEvent);
}

void LPlayerBaseDlg::keyReleaseEvent(QKeyEvent* pEvent)
{
    if ((pEvent->key() == Qt::Key_Left || pEvent->key() == Qt::Key_Right)
        && !pEvent->isAutoRepeat()) {
        mapButtons[kRewind]->setDown(false);
        mapButtons[kForward]->setDown(false);
        CmBackFwdStop();
        return;
    }
    QDialog::keyReleaseEvent(pEvent);
}
