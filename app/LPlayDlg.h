#pragma once

#include "app/LPlayerBaseDlg.h"

#include <QElapsedTimer>

class QTimer;

// A player panel that starts playing as soon as it opens. With the
// provider's track flags Go to Start (early in playback, or PgUp) and Go to
// End (or PgDn) end it with kPreviousTrack / kNextTrack; with its
// close-after-play flag it closes 1.2 s after playback stops.
class LPlayDlg : public LPlayerBaseDlg {
    Q_OBJECT
public:
    enum Result { kClosed = 1, kPreviousTrack = 2, kNextTrack = 3 };
    static constexpr int kCloseDelayMs = 1200;

    LPlayDlg(LPlayerSource& source, QWidget* pParent = nullptr);

    void CmStart();
    void CmEnd();
    bool IsClosePending() const;

protected:
    void showEvent(QShowEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void spntfPlay(uintptr_t) override;
    void spntfStop(uintptr_t) override;
    void StartPlaying();
    // The caption: what it plays.
    void ShowTitle();

private:
    void CloseIfStopped();

    QTimer* pCloseTimer = nullptr;
    QElapsedTimer tPlaying;
    bool bStarted = false;
};

// The play dialog left open while the user works: a new source reloads it.
class LPlayDlgModeless : public LPlayDlg {
    Q_OBJECT
public:
    using LPlayDlg::LPlayDlg;
    // The provider changed: stop, show its name, re-read the length, and
    // play again when it was playing.
    void Restart();
};
