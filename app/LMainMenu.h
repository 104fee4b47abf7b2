#pragma once

#include "engine/LCommandIds.h"

#include <map>
#include <string>
#include <vector>

class LCommandTable;
class QAction;
class QMenu;
class QMenuBar;
class QObject;

// The layout of the main window's menus: which commands sit in which menu,
// in which order, with separators and submenus. Texts, keys and hints come
// from the command table; a command without a row there gets no item. Each
// command is one QAction, shared by the menu, the toolbar and the context
// menu; its data is the command id.
class LMainMenu {
public:
    // Layout entries besides command ids.
    enum : int { kSeparator = 0, kEndSubmenu = -1, kSubmenu = -2 };
    struct Entry {
        int iId; // a command, kSeparator, kEndSubmenu or kSubmenu
        const char* szSubmenu = nullptr; // kSubmenu's title
    };
    struct Menu {
        const char* szTitle;
        std::vector<Entry> entries;
    };
    static const std::vector<Menu>& Layout();
    // The waveform context menu: commands, separators, and the submenus
    // named by the title of a main-menu submenu or menu.
    static const std::vector<Entry>& ContextLayout();

    // Fills the bar; the actions are children of owner.
    void Build(QMenuBar& bar, QObject& owner, const LCommandTable& commands);

    QAction* Action(int iId) const;
    const std::map<int, QAction*>& Actions() const { return mapActions; }
    QMenu* FileMenu() const { return pFileMenu; }
    QMenu* WindowMenu() const { return pWindowMenu; }
    QAction* ExitAction() const { return Action(CM_EXIT); }
    // Fills a waveform context menu with the same actions.
    void BuildContextMenu(QMenu& menu) const;

private:
    std::map<int, QAction*> mapActions;
    std::map<std::string, QMenu*> mapMenus; // menus and submenus by title
    QMenu* pFileMenu = nullptr;
    QMenu* pWindowMenu = nullptr;
};
