#pragma once

#include "engine/LOVFile.h"
#include "engine/LTransport.h"

#include <QWidget>
#include <functional>
#include <vector>

class ProjectDialog;
class QPushButton;
class QTreeWidget;
struct LOVRegion;

// Plays a region's own audio with a player of its own, separate from the
// main window's; the Play button of its window reads "Stop" meanwhile.
// User-interface thread; the region is copied.
class LRegionPlayer {
public:
    // Stops, or plays the region from its start; returns whether it plays.
    bool Toggle(const LOVRegion* pRegion);
    void Stop() { transport.Stop(); }
    LTransport& Transport() { return transport; }

private:
    LTransport transport;
    LOVFile doc; // the region's audio while it plays
};

// The region list ("Region List"): name, time and file of each region, its
// buttons and context menu. An MDI child of the main window, which owns it;
// the regions are the project dialog's. User-interface thread only.
class LRegionWindow : public QWidget {
    Q_OBJECT
public:
    LRegionWindow(ProjectDialog& project, std::function<void()> fnAssemble);
    ~LRegionWindow() override;
    void Refill();
    QTreeWidget& List() const { return *pList; }
    std::vector<size_t> Selected() const;
    void Play();
    void Rename();
    void Delete();
    void DeleteAll();
    void Save();
    void CopyToNew();

private:
    void UpdateButtons();
    ProjectDialog& project;
    std::function<void()> fnAssemble;
    QTreeWidget* pList;
    QPushButton* pPlay = nullptr;
    std::vector<QPushButton*> rowButtons, listButtons;
    LRegionPlayer player;
    bool bFilling = false;
};

// Fills a list with the region rows: name, "start-end", the file's name.
void FillRegionList(QTreeWidget& list, const std::vector<LOVRegion>& regions);
