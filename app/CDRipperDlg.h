#pragma once

#include "cd/LCDROMInfo.h"
#include "engine/LCommandTable.h"

#include <QDialog>
#include <string>
#include <vector>

class MainDialog;
class QCheckBox;
class QComboBox;
class QTreeWidget;

// A track file the dialog ripped, for the main window to open, with the
// track's AccurateRip checksums.
struct CDTrackItem {
    std::string strPath;
    int iTrack = 0; // from 1
    uint32_t uAccurateRipV1 = 0;
    uint32_t uAccurateRipV2 = 0;
};

// "Load Audio CD Track(s)" (command 1011): the drives (101), the tracks of
// the chosen one (102), Load, Cancel, Refresh (103), Help, and Verify. Load
// rips each selected track into the folder Current; the main window opens
// the files when the dialog closes. User-interface thread only.
class CDRipperDlg : public QDialog {
public:
    explicit CDRipperDlg(QWidget* pParent);
    // The main window's command: the dialog, then each ripped track opened
    // as a new untitled document and its file deleted.
    static LCommand Command(QWidget* pParent, MainDialog& main);

    // Reads the drives and their tracks again; with no drive it says so and
    // closes the dialog as cancelled (false).
    bool UpdateDrive();
    const std::vector<CDTrackItem>& GetTracks() const { return items; }

private:
    void CDDriveChanged();
    void CmOk();
    void CmHelp();
    void Tell(const QString& strCaption, const QString& strText);

    LCDROMInfo info;
    std::vector<CDTrackItem> items;
    QComboBox* pDrives = nullptr;
    QTreeWidget* pTracks = nullptr;
    QCheckBox* pVerify = nullptr;
};
