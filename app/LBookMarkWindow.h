#pragma once

#include <QWidget>
#include <vector>

class ProjectDialog;
class QTreeWidget;

// The bookmark list: one row per bookmark (name, time, times visited, last
// visited), go to on double-click, rename in place, and a context menu.
// An MDI child of the main window, which owns it; the bookmarks are the
// project dialog's. User-interface thread only.
class LBookMarkWindow : public QWidget {
    Q_OBJECT
public:
    explicit LBookMarkWindow(ProjectDialog& project);
    void Refill();
    QTreeWidget& List() const { return *pList; }
    std::vector<size_t> Selected() const;
    void GoTo();
    void Rename();
    void Delete();
    void DeleteAll();

private:
    void ShowMenu(const QPoint& pt);
    ProjectDialog& project;
    QTreeWidget* pList;
    bool bFilling = false;
};
