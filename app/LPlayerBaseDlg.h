#pragma once

#include "app/LPlayerSource.h"
#include "engine/LSoundPlayer.h"

#include <QDialog>
#include <map>

class LDBDisplay;
class LDBEdit;
class LWaveWindow;
class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollBar;

// A player panel: name, time, level meter, a waveform strip of the two
// seconds around the position, position bar, playback device and volume,
// and the transport buttons Play, Scrub, Stop, Go to Start,
// Rewind and Forward (while held) and Go to End, over a player of its own.
class LPlayerBaseDlg : public QDialog, protected LSoundPlayerNotify {
    Q_OBJECT
public:
    enum Control {
        kName = 120,
        kTime = 103,
        kLevels = 104,
        kStrip = 105,
        kPosition = 106,
        kDevice = 107,
        kVolume = 108,
        kPlay = 111,
        kScrub = 112,
        kStop = 113,
        kStart = 114,
        kRewind = 115,
        kForward = 116,
        kEnd = 117,
    };

    LPlayerBaseDlg(LPlayerSource& source, QWidget* pParent = nullptr);
    ~LPlayerBaseDlg() override;

    void CmPlay();
    void CmPlayEnd();
    void CmStop();
    void CmStart();
    void CmScrub();
    void CmBack() { StartWaveScan(false); }
    void CmFwd() { StartWaveScan(true); }
    void CmBackFwdStop();
    void CmEnd();
    void UpdateTime(int32_t iMs);
    // Loads the provider's source into the waveform strip (when it is not
    // running yet) and moves the position to its end.
    void InitFile();

    void done(int iResult) override;

    QAbstractButton* GetButton(int iId) const { return mapButtons.at(iId); }
    QLineEdit& GetName() const { return *pName; }
    QLabel& GetTime() const { return *pTime; }
    QScrollBar& GetPosition() const { return *pPosition; }
    LDBDisplay& GetLevels() const { return *pLevels; }
    LWaveWindow& GetStrip() const { return *pStrip; }
    LSoundPlayer& GetPlayer() { return player; }
    int32_t GetPositionMs() const { return iPositionMs; }
    int32_t GetLengthMs() const { return iLengthMs; }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void keyReleaseEvent(QKeyEvent* pEvent) override;
    void spntfStop(uintptr_t) override;
    void spntfPosition(int32_t iMs, uintptr_t) override;
    void spntfLevels(const LSoundLevels& levels, uintptr_t) override;
    bool IsScanning() const { return bRewinding || bForwarding; }
    // Opens the provider's source; false when it came back in error.
    bool OpenSource(SourceHandle& h);
    // The name field back to the provider's name, unchanged.
    void ShowName();
    LPlayerSource& GetSource() { return source; }

private:
    enum Resume { kResumeNone = 0, kResumeScrub = 1, kResumePlay = 2 };
    void InitDialog();
    void DestroyDialog();
    void StartWaveScan(bool bForward);
    QAbstractButton* AddButton(int iId, const char* szTip, int iKind, bool bCheckable);
    void OnDevice(int iIndex);
    void OnVolume(int iDb);
    void OnStripReleased();
    // iRate and iLengthMs of a source just opened.
    void ReadRateAndLength(LSoundSourceBase& src);

    LPlayerSource& source;
    int32_t iRate = 0;
    int32_t iPositionMs = 0;
    int32_t iLengthMs = 0;
    LSoundPlayer player;
    int8_t cDevice = 0;
    int iResume = kResumeNone;
    bool bRewinding = false;
    bool bForwarding = false;
    bool bDestroyed = false;
    bool bNameChanged = false;
    QLineEdit* pName = nullptr;
    QLabel* pTime = nullptr;
    LDBDisplay* pLevels = nullptr;
    LWaveWindow* pStrip = nullptr;
    QScrollBar* pPosition = nullptr;
    QComboBox* pDevice = nullptr;
    LDBEdit* pVolume = nullptr;
    std::map<int, QAbstractButton*> mapButtons;
};
