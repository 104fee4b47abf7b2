#pragma once

#include "app/LMainMenu.h"
#include "engine/LTransport.h"
#include "engine/MainDialog.h"
#include "engine/MainDialogUi.h"
#include "features/LKeyMacros.h"
#include "features/LRecoveryJournal.h"
#include "features/ProjectDialog.h"
#include "services/LOutsideCommands.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class LBookMarkWindow;
class LRegionWindow;
class LDBDisplay;
class LDBEdit;
class LLoudnessStatus;
class LOVFileWindow;
class LOVWaveWindow;
class QAbstractButton;
class QActionGroup;
class QButtonGroup;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QFrame;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class QToolBar;

// The editor's frame window: menus, toolbar, one child window per open
// document, the window buttons, the time fields, the transport buttons and
// the status bar. It owns the command logic (MainDialog), shows what it
// reports and answers what it asks with dialogs.
class LMDIMainWindow : public QMainWindow,
                       public MainDialogUi,
                       public ProjectDialogUi,
                       public LOutsideProgramsUi {
    Q_OBJECT
public:
    LMDIMainWindow();
    ~LMDIMainWindow() override;

    // Creates the window, opens the files and runs the event loop.
    static int Run(const QStringList& files);
    // The files named on the command line, loaded as documents.
    void OpenCommandLine(const QStringList& files);

    MainDialog& GetController() { return dialog; }
    ProjectDialog& GetProject() { return project; }
    // The bookmark and region windows while they are open.
    LBookMarkWindow* GetBookMarkWindow() const { return pBookMarks; }
    LRegionWindow* GetRegionWindow() const { return pRegions; }
    // Offers the documents of an editor that ended without closing.
    void OfferRecovery();
    const LMainMenu& GetMenu() const { return menu; }
    QAction* Action(int iId) const { return menu.Action(iId); }
    QAction* ToolbarAction(int iId) const;
    QMdiArea& GetMdiArea() const { return *pMdiArea; }
    LOVFileWindow* GetFileWindow(const LOVFile& doc) const;
    QMdiSubWindow* GetSubWindow(const LOVFile& doc) const;
    // Time fields 106, 107, 108, 130, 109.
    QLabel* GetField(int iId) const;
    // Transport buttons 111..118.
    QAbstractButton* GetTransportButton(int iId) const;
    QString GetRateStatusText() const;
    QString GetHintText() const;
    QWidget& GetWindowButtonRow() const { return *pWindowButtons; }
    QFrame& GetSeparator() const { return *pSeparatorLine; }
    // Volume 102 and level meter 101.
    LDBEdit& GetVolume() const { return *pVolume; }
    LDBDisplay& GetMeter() const { return *pMeter; }
    LTransport& GetTransport() { return transport; }
    // The key macros in use, read from keys.dat at start.
    LKeyMacros& GetMacros() { return macros; }

    // A menu command, toolbar button or key.
    void EvCommand(int iId);
    // Opens a web page in the browser; false when it could not be started.
    // Tests put their own here.
    static std::function<bool(const QString&)> fnOpenWebPage;
    // Another start of the program handed over its files (maybe none): they
    // are loaded and the window comes to the front.
    void EvLoad(const QStringList& paths);

    // MainDialogUi
    Answer AskYesNoCancel(const std::string& strText, Icon icon) override;
    std::vector<std::string> ChooseOpenFiles(
        const std::string& strTitle, std::string& strFolder) override;
    std::string ChooseSaveFile(const std::string& strTitle, std::string& strFolder) override;
    bool AskDialog(const std::string& strTitle, LDialogValues& values) override;
    void ShowSpectrum(int32_t iRate, const LSpectrumValues& values) override;
    int RunRecordDialog(LOVRecordInfo& target) override;
    bool AskFileProperties(LHeaderlessSettings& settings) override;
    bool ChooseWaveFormat(LWaveFormat& format, int iChannels, const std::string& strTitle) override;
    bool AskMp3Settings(LMp3EncoderSettings& settings) override;
    void ShowMessage(const std::string& strText, const std::string& strCaption, Icon icon) override;
    void DocumentOpened(LOVFile& doc) override;
    void DocumentClosing(LOVFile& doc) override;
    void CurrentChanged(LOVFile* pDoc) override;
    void DocumentChanged(LOVFile& doc) override;
    void SelectionChanged(LOVFile& doc) override;
    void SetMenuItem(int iId, const std::string& strText, bool bEnabled) override;
    void EnablingChanged() override;
    void SetStatusField(int iId, const std::string& strText) override;
    void ShowNote(const std::string& strCommand, const std::string& strText) override;
    void AddRecentFile(const std::string& strPath) override;
    // ProjectDialogUi
    bool AskText(const std::string& strCaption, std::string& strText) override;
    void ListsChanged() override;
    void ProjectChanged(const std::string& strPath) override;
    void OpenBookMarkWindow() override;
    void OpenRegionWindow() override;
    void OpenAssembly() override;
    // LOutsideProgramsUi
    Answer AskQuestion(const std::string& strText, const std::string& strCaption) override;
    void OpenWebPage(const std::string& strUrl) override;

    // The extension of the selection by Shift moves: its anchor and whether
    // the moves extend it now.
    int32_t GetShiftAnchor() const { return iShiftAnchor; }
    bool IsExtending() const { return bExtend; }

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    // Files dropped from a file manager open as documents.
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
    // The keys that act before any control sees them: Left and Right held
    // for the scans, and Shift, Home and End for the selection rule.
    bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
    void InitDialog();
    void CreateToolbar();
    void CreateBottomPanel(QWidget& parent);
    void CreateLevelControls(QWidget& parent);
    // Places the client area's controls for its size: the MDI client, the
    // window buttons, the separator, the time fields, the transport
    // buttons, the current time, the volume and the meter.
    void LayoutControls();
    void ApplyVolume();
    void LoadPlacement();
    void StorePlacement();
    void FileApply();
    void EnableMenuOptions();
    void EnablePlayerControls();
    void SetEnabled(int iId, bool bEnabled);
    void UpdateStatusRate();
    void UpdateWindowButtons();
    void UpdateWindowMenu();
    void UpdateFileLength();
    void LoadRecentFileList();
    void WavApply();
    void MoveTo(int32_t iPosition, bool bExtendNow);
    bool KeyDown(const QKeyEvent& key);
    bool KeyUp(const QKeyEvent& key);
    // A key press bound to a key macro runs it and goes no further: the
    // macros come before the menus' keys (auto-repeats are swallowed).
    bool ProcessMacroKeyDown(QEvent& event);
    void CmSettings();
    void FollowPlayer(LOVFile& doc);
    void ApplyWaveSelection(LOVWaveWindow* pView, bool bFinal);
    void TrackWaveWindowMenu(const QPoint& ptGlobal);
    void TileWindows(bool bHorizontal);
    void ArrangeIcons();
    // The frame's own rows of the command table.
    std::vector<LCommand> WindowCommands();
    // The rows acting on the bookmark and region windows, shown while open.
    std::vector<LCommand> ListCommands();
    void ShowListItems();
    // A file to open: a project (".ovp") or audio.
    void OpenPath(const QString& strPath);
    void OpenWebPage(const char* szUrl);
    void CmHelpContents();
    void CmAbout();
    void ShowPlaySpeed();
    LOVFileWindow* CurrentWindow() const;

    // The player; its notices come back through the callbacks set in
    // InitDialog.
    LTransport transport;
    LPlaybackControl& playback;
    MainDialog dialog;
    ProjectDialog project;
    LOutsideCommands outside;
    LRecoveryJournal journal;
    LBookMarkWindow* pBookMarks = nullptr;
    LRegionWindow* pRegions = nullptr;
    bool bRefillPending = false;
    LMainMenu menu;
    LKeyMacros macros;
    QMdiArea* pMdiArea = nullptr;
    QToolBar* pToolbar = nullptr;
    std::map<int, QAction*> mapToolbar;
    std::map<int, QLabel*> mapFields;
    std::map<int, QAbstractButton*> mapTransport;
    std::vector<QAbstractButton*>
        vecTransportOrder; // as laid out: Play, Record, Scrub, Stop, Start, Rewind, Forward, End
    QLabel* pRateStatus = nullptr;
    LLoudnessStatus* pLoudnessStatus = nullptr;
    LDBEdit* pVolume = nullptr;
    LDBDisplay* pMeter = nullptr;
    QWidget* pWindowButtons = nullptr;
    QFrame* pSeparatorLine = nullptr;
    QHBoxLayout* pWindowButtonLayout = nullptr;
    QButtonGroup* pWindowButtonGroup = nullptr;
    QTimer* pSelectionTimer = nullptr;
    std::map<const LOVFile*, QMdiSubWindow*> mapWindows;
    bool bActivating = false;
    int32_t iShiftAnchor = 0;
    bool bExtend = false;
    QStringList lstPendingLoads;
    bool bLoadRetry = false;
    int iHeldScan = 0; // the arrow key holding a scan: -1 Left, 1 Right
};
