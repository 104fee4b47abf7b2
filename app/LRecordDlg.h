#pragma once

#include "app/LPlayerBaseDlg.h"
#include "app/LRecordSource.h"
#include "engine/LSoundRecorder.h"

class LDBEdit;
class QComboBox;
class QLabel;
class QPushButton;

// The record dialog: a player panel over the recording, which it builds in
// takes. Record (F8) records from the current position, Re-Take (F7) from
// the start of the last take, Restart (F6) from the beginning, Record Next
// (F5) closes it with kRecordNext. It starts recording as soon as it is
// shown. While recording, Go to Start is Restart, Forward is Re-Take and Go
// to End is Record Next. The input device, its input channel and the record
// volume are stored in section Recorder on closing.
class LRecordDlg : public LPlayerBaseDlg, protected LSoundRecorderNotify {
    Q_OBJECT
public:
    enum Control {
        kRecordDevice = 100,
        kInput = 101,
        kRecordVolume = 102,
        kAdvanced = 109,
        kRecord = 110,
        kMixer = 119,
    };
    enum Result { kClosed = 1, kRecordNext = 2 };

    LRecordDlg(LRecordSource& source, QWidget* pParent = nullptr);
    ~LRecordDlg() override;

    void CmRecord();
    void CmRetake();
    void CmRestart();
    void CmRecordNext();
    bool IsRecording() const { return recorder.GetState() != 0; }

    void done(int iResult) override;

    LSoundRecorder& GetRecorder() { return recorder; }
    QComboBox& GetRecordDevice() const { return *pRecordDevice; }
    QComboBox& GetInput() const { return *pInput; }
    LDBEdit& GetRecordVolume() const { return *pRecordVolume; }
    QLabel& GetStatus() const { return *pStatus; }
    QPushButton& GetMixerButton() const { return *pMixer; }

    // Starts the desktop's record mixer: pavucontrol on its input tab, or
    // alsamixer for capture in a terminal; false when neither is there.
    static bool StartRecordMixer();

protected:
    void showEvent(QShowEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void srntfRecording(uintptr_t) override { ShowTransport(true); }
    void srntfWaiting(uintptr_t) override { ShowTransport(true); }
    void srntfStop(uintptr_t) override;
    void srntfPosition(int32_t iMs, uintptr_t) override;
    void srntfLevels(const LSoundLevels& levels, uintptr_t) override;

private:
    void RecordFrom(int32_t iMs);
    void ShowTransport(bool bRecording);
    void ShowStatus();
    void FillInputs();
    void OnMixer();
    void OnAdvanced();

    LRecordSource& source;
    LSoundRecorder recorder;
    int32_t iLastTakeMs = 0;
    int32_t iStripFrames = 0; // take frames the strip last showed
    bool bStarted = false;
    bool bRecordingShown = false;
    QComboBox* pRecordDevice = nullptr;
    QComboBox* pInput = nullptr;
    LDBEdit* pRecordVolume = nullptr;
    QPushButton* pMixer = nullptr;
    QLabel* pStatus = nullptr;
};
