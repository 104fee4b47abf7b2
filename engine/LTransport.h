#pragma once

#include "engine/LPlaybackControl.h"
#include "engine/LSoundPlayer.h"

#include <functional>

// The main window's playback: Play with and without a selection at three
// speeds, Stop, Scrub, Go To Start and End, and the Rewind and Fast Forward
// scans while held, over one LSoundPlayer. The player's notices move the
// document's position and reach the window through the callbacks.
class LTransport : public LPlaybackControl, private LSoundPlayerNotify {
public:
    LTransport();
    ~LTransport() override;

    // Called on the user-interface thread: the position moved (frames), the
    // player opened or closed, new levels.
    std::function<void(LOVFile&)> onPosition;
    std::function<void(bool bOpen)> onState;
    std::function<void(const LSoundLevels&)> onLevels;
    // The device message when Play cannot open the device.
    std::function<void(const char*)> onDeviceError;

    void Stop() override;
    void Play(LOVFile& doc, int32_t iFrom) override;
    bool IsOpen() const override { return player.GetState() != 0; }
    bool IsCued() const override { return (player.GetState() & LSoundPlayer::kCued) != 0; }
    bool PlayCommand(LOVFile& doc, bool bKeepPosition) override;
    void SetSpeed(Speed e) override;
    void Scrub(LOVFile& doc) override;
    void GoToStart(LOVFile& doc) override;
    void GoToEnd(LOVFile& doc) override;
    void StartScan(LOVFile& doc, bool bForward) override;
    void EndScan(LOVFile& doc) override;

    LSoundPlayer& GetPlayer() { return player; }
    // For a run that must not change the settings: the device and speed to
    // use instead of Settings\SoundOutDevice and PlaySpeed (-1 = the setting).
    void SetOverrides(int iDevice, int iSpeed)
    {
        iDeviceOverride = iDevice;
        iSpeedOverride = iSpeed;
    }

private:
    enum class Resume { Nothing, Play, Scrub };
    bool StartSource(LOVFile& doc, SourceHandle h, bool bReportFailure);
    void spntfPlay(uintptr_t) override;
    void spntfStop(uintptr_t) override;
    void spntfPosition(int32_t iMs, uintptr_t) override;
    void spntfLevels(const LSoundLevels& levels, uintptr_t) override;

    LSoundPlayer player;
    LOVFile* pDoc = nullptr;
    SourceHandle hSource;
    bool bPlaySelection = false;
    int iScan = 0; // 0 none, -1 rewind, 1 forward
    Resume eResume = Resume::Nothing;
    int iDeviceOverride = -1;
    int iSpeedOverride = -1;
};

constexpr const char* kDeviceMessage
    = "Please check that you have selected the correct sound player device using "
      "Settings. Open Settings using File->Settings";
