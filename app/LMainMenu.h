#pragma once

#include <QString>

#include <map>

class QAction;
class QMenu;
class QMenuBar;
class QObject;

// Command ids of the main window beyond the controller's editing commands.
enum : int {
    CM_CDIMPORT = 1011, CM_SEND = 1009, CM_SETTINGS = 1010, CM_OPENPROJECT = 1013, CM_CLOSEPROJECT = 1014,
    CM_SAVEPROJECT = 1015, CM_SAVEPROJECTAS = 1016, CM_EXIT = 1048, CM_RECENTFIRST = 1050, CM_RECENTLAST = 1060,
    CM_RECENTSEPARATOR = 1061,
    CM_RECORD = 3001,
    CM_ZOOMIN = 5001, CM_ZOOMOUT = 5002, CM_ZOOMSELECTION = 5003, CM_ZOOMFULL = 5004, CM_VERTICALZOOM = 5005,
    CM_DISPLAYPLUSMINUS = 5007, CM_DISPLAYLEFTRIGHT = 5008, CM_CASCADE = 5009, CM_TILEHORIZONTAL = 5010,
    CM_TILEVERTICAL = 5011, CM_ARRANGEICONS = 5012,
    CM_HELPCONTENTS = 6000, CM_ABOUT = 6013,
    CM_FFT = 7001, CM_TONESMITH = 7002, CM_BATCH = 7003, CM_TTS = 7004,
    CM_SETBOOKMARK = 8001, CM_OPENBOOKMARKS = 8003, CM_ADDREGION = 8004, CM_ASSEMBLEREGIONS = 8005,
    CM_OPENREGIONS = 8009,
};

// The menu bar of the main window: every command with its text, key and
// status-bar hint. Each command is one QAction, shared by the menu, the
// toolbar and the context menu; its data is the command id.
class LMainMenu {
public:
    // Fills the bar; the actions are children of pOwner.
    void Build(QMenuBar& bar, QObject& owner);

    QAction* Action(int iId) const;
    const std::map<int, QAction*>& Actions() const { return mapActions; }
    QMenu* FileMenu() const { return pFileMenu; }
    QMenu* WindowMenu() const { return pWindowMenu; }
    QAction* ExitAction() const { return Action(CM_EXIT); }
    // The hint shown in the status bar while the item is highlighted.
    static QString Hint(int iId);
    // Commands whose feature this build does not have yet: always disabled.
    static bool IsUnavailable(int iId);
    // Fills a waveform context menu with the same actions.
    void BuildContextMenu(QMenu& menu) const;

private:
    std::map<int, QAction*> mapActions;
    QMenu* pFileMenu = nullptr;
    QMenu* pWindowMenu = nullptr;
    QMenu* pInsertSilence = nullptr;
    QMenu* pInsertFile = nullptr;
    QMenu* pEffects = nullptr;
};
