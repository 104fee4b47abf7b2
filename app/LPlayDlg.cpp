#include "app/LPlayDlg.h"

#include "app/LWaveWindow.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTimer>

LPlayDlg::LPlayDlg(LPlayerSource& src, QWidget* pParent)
    : LPlayerBaseDlg(src, pParent)
{
    pCloseTimer = new QTimer(this);
    pCloseTimer->setSingleShot(true);
    pCloseTimer->setInterval(kCloseDelayMs);
    connect(pCloseTimer, &QTimer::timeout, this, &LPlayDlg::CloseIfStopped);

    // The base buttons go through these so that the track moves apply.
    QAbstractButton* pStart = GetButton(kStart);
    QAbstractButton* pEnd = GetButton(kEnd);
    pStart->disconnect(this);
    pEnd->disconnect(this);
    connect(pStart, &QAbstractButton::clicked, this, &LPlayDlg::CmStart);
    connect(pEnd, &QAbstractButton::clicked, this, &LPlayDlg::CmEnd);
    if (src.wFlags & LPlayerSource::kPreviousTrack)
        pStart->setToolTip("Go to Start / Previous Track (Home/PgUp)");
    if (src.wFlags & LPlayerSource::kNextTrack)
        pEnd->setToolTip("Next Track (PgDn)");
    ShowTitle();
    // It plays from the start as soon as it is shown.
    UpdateTime(0);
}

void LPlayDlg::ShowTitle()
{
    const std::string& strName = GetSource().szName;
    setWindowTitle(strName.empty() ? QString("Play") : QString::fromStdString(strName));
}

void LPlayDlg::showEvent(QShowEvent* pEvent)
{
    LPlayerBaseDlg::showEvent(pEvent);
    if (!bStarted) {
        bStarted = true;
        StartPlaying();
    }
}

void LPlayDlg::StartPlaying()
{
    CmPlay();
}

void LPlayDlg::CmStart()
{
    const bool bEarly
        = GetPlayer().GetState() != 0 && tPlaying.isValid() && tPlaying.elapsed() < 1000;
    if ((GetSource().wFlags & LPlayerSource::kPreviousTrack) && bEarly) {
        done(kPreviousTrack);
        return;
    }
    LPlayerBaseDlg::CmStart();
}

void LPlayDlg::CmEnd()
{
    if (GetSource().wFlags & LPlayerSource::kNextTrack) {
        done(kNextTrack);
        return;
    }
    LPlayerBaseDlg::CmEnd();
}

void LPlayDlg::keyPressEvent(QKeyEvent* pEvent)
{
    const uint16_t wFlags = GetSource().wFlags;
    switch (pEvent->key()) {
    case Qt::Key_Home:
        CmStart();
        return;
    case Qt::Key_End:
        CmEnd();
        return;
    case Qt::Key_PageUp:
        if (wFlags & LPlayerSource::kPreviousTrack)
            done(kPreviousTrack);
        return;
    case Qt::Key_PageDown:
        if (wFlags & LPlayerSource::kNextTrack)
            done(kNextTrack);
        return;
    default:
        LPlayerBaseDlg::keyPressEvent(pEvent);
    }
}

void LPlayDlg::spntfPlay(uintptr_t ctx)
{
    LPlayerBaseDlg::spntfPlay(ctx);
    tPlaying.start();
    pCloseTimer->stop();
}

void LPlayDlg::spntfStop(uintptr_t ctx)
{
    LPlayerBaseDlg::spntfStop(ctx);
    if ((GetSource().wFlags & LPlayerSource::kCloseAfterPlay) && !IsScanning())
        pCloseTimer->start();
}

bool LPlayDlg::IsClosePending() const
{
    return pCloseTimer->isActive();
}

void LPlayDlg::CloseIfStopped()
{
    if (GetPlayer().GetState() == 0 && !IsScanning())
        done(kClosed);
}

void LPlayDlgModeless::Restart()
{
    const bool bWasPlaying = GetPlayer().GetState() != 0;
    CmStop();
    ShowName();
    ShowTitle();
    GetStrip().Stop();
    InitFile();
    UpdateTime(0);
    if (bWasPlaying)
        StartPlaying();
}
