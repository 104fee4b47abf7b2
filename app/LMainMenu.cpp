#include "app/LMainMenu.h"

#include "engine/LCommandTable.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

namespace {
using E = LMainMenu;

QList<QKeySequence> Keys(const char* szKey)
{
    if (!szKey)
        return {};
    QString strKey = szKey;
    // Zooming is bound to the numeric pad's keys and, for keyboards without
    // one, to the main keys.
    if (strKey == "Ctrl+Plus")
        return { QKeySequence(
                     QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)),
            QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Plus)) };
    if (strKey == "Ctrl+Minus")
        return { QKeySequence(
                     QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)),
            QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Minus)) };
    return { QKeySequence(strKey) };
}

// A menu with nothing to show is not shown either (it keeps its place).
void HideWhenEmpty(QMenu& menu)
{
    const QList<QAction*> actions = menu.actions();
    menu.menuAction()->setVisible(std::any_of(actions.begin(), actions.end(),
        [](const QAction* p) { return !p->isSeparator() && p->isVisible(); }));
    menu.setSeparatorsCollapsible(true);
}
} // namespace

const std::vector<LMainMenu::Menu>& LMainMenu::Layout()
{
    static const std::vector<Menu> menus = {
        { "&File",
            { { CM_FILENEW }, { CM_FILEOPEN }, { CM_CDIMPORT }, { CM_FILECLOSE }, { kSeparator },
                { CM_FILESAVE }, { CM_FILESAVEAS }, { kSeparator }, { CM_OPENPROJECT },
                { CM_CLOSEPROJECT }, { CM_SAVEPROJECT }, { CM_SAVEPROJECTAS }, { kSeparator },
                { CM_CONVERTRATE }, { CM_CONVERTMONO }, { CM_CONVERTSTEREO }, { kSeparator },
                { CM_SEND }, { kSeparator }, { CM_SETTINGS }, { kSeparator }, { CM_EXIT } } },
        { "&Edit",
            { { CM_UNDO }, { kSeparator }, { CM_CUT }, { CM_COPY }, { CM_PASTE }, { CM_PASTEMIX },
                { CM_DELETE }, { CM_SELECTALL }, { kSeparator }, { CM_MIXFILE }, { CM_REPEATLOOP },
                { CM_TRIM }, { CM_TRIMSTART }, { CM_TRIMEND }, { CM_AUTOTRIM }, { CM_SILENCE },
                { kSubmenu, "Insert Silence..." }, { CM_INSSILENCEBEGIN }, { CM_INSSILENCECURRENT },
                { CM_INSSILENCEEND }, { kEndSubmenu }, { kSubmenu, "Insert File..." },
                { CM_INSFILEBEGIN }, { CM_INSFILECURRENT }, { CM_INSFILEEND }, { kEndSubmenu },
                { CM_COPYTONEW } } },
        { "&Play",
            { { CM_RECORD }, { CM_PLAY }, { kSeparator }, { CM_PLAYSLOW }, { CM_PLAYNORMAL },
                { CM_PLAYFAST }, { kSeparator }, { CM_STOP }, { CM_GOTOSTART }, { CM_REWIND },
                { CM_FASTFORWARD }, { CM_GOTOEND } } },
        { "Effec&ts",
            { { CM_AMPLIFY }, { CM_NORMALIZE }, { CM_NORMALIZELOUDNESS }, { CM_EQUALIZER },
                { CM_ECHO }, { CM_REVERB }, { kSeparator }, { CM_FADEIN }, { CM_FADEOUT },
                { CM_FADEOUTTRIM }, { CM_ENVELOPE }, { kSeparator }, { CM_AGC },
                { CM_NOISEREDUCTION }, { CM_HIGHPASS }, { CM_COMPRESSOR }, { kSeparator },
                { CM_SPEEDPITCH }, { CM_PITCHSPEED }, { CM_SPEEDCONSTPITCH }, { kSeparator },
                { CM_DCOFFSET }, { CM_REVERSE } } },
        { "&View",
            { { CM_ZOOMIN }, { CM_ZOOMOUT }, { CM_ZOOMSELECTION }, { CM_ZOOMFULL }, { kSeparator },
                { CM_VERTICALZOOM }, { kSeparator }, { CM_DISPLAYPLUSMINUS },
                { CM_DISPLAYLEFTRIGHT } } },
        { "T&ools",
            { { CM_FFT }, { CM_TONESMITH }, { CM_BATCH }, { CM_TTS }, { kSeparator },
                { CM_SETBOOKMARK }, { CM_OPENBOOKMARKS }, { CM_GOTOBOOKMARK },
                { CM_RENAMEBOOKMARK }, { CM_DELETEBOOKMARK }, { CM_DELETEALLBOOKMARKS },
                { CM_ADDREGION }, { CM_OPENREGIONS }, { CM_PLAYREGION }, { CM_RENAMEREGION },
                { CM_DELETEREGION }, { CM_DELETEALLREGIONS }, { CM_SAVEREGION },
                { CM_COPYREGIONTONEW }, { CM_ASSEMBLEREGIONS } } },
        { "&Window",
            { { CM_CASCADE }, { CM_TILEHORIZONTAL }, { CM_TILEVERTICAL }, { CM_ARRANGEICONS },
                { kSeparator }, { CM_CLOSEALL } } },
        { "&Help",
            { { CM_HELPCONTENTS }, { kSubmenu, "&Internet Resources" }, { CM_HOMEPAGE },
                { CM_SUPPORTPAGE }, { kEndSubmenu }, { kSeparator }, { CM_ABOUT } } },
    };
    return menus;
}

const std::vector<LMainMenu::Entry>& LMainMenu::ContextLayout()
{
    static const std::vector<Entry> entries = {
        { CM_UNDO },
        { CM_CUT },
        { CM_COPY },
        { CM_PASTE },
        { CM_PASTEMIX },
        { CM_DELETE },
        { CM_SELECTALL },
        { CM_MIXFILE },
        { CM_REPEATLOOP },
        { CM_TRIM },
        { CM_TRIMSTART },
        { CM_TRIMEND },
        { CM_AUTOTRIM },
        { CM_SILENCE },
        { kSubmenu, "Insert Silence..." },
        { kSubmenu, "Insert File..." },
        { CM_COPYTONEW },
        { CM_REVERSE },
        { kSeparator },
        { kSubmenu, "Effec&ts" },
        { kSeparator },
        { CM_SETBOOKMARK },
        { CM_ADDREGION },
    };
    return entries;
}

QAction* LMainMenu::Action(int iId) const
{
    auto it = mapActions.find(iId);
    return it == mapActions.end() ? nullptr : it->second;
}

void LMainMenu::Build(QMenuBar& bar, QObject& owner, const LCommandTable& commands)
{
    for (const Menu& m : Layout()) {
        QMenu* pMenu = bar.addMenu(m.szTitle);
        mapMenus[m.szTitle] = pMenu;
        QMenu* pTarget = pMenu;
        for (const Entry& e : m.entries) {
            if (e.iId == kSeparator) {
                pTarget->addSeparator();
            } else if (e.iId == kSubmenu) {
                pTarget = pMenu->addMenu(e.szSubmenu);
                mapMenus[e.szSubmenu] = pTarget;
            } else if (e.iId == kEndSubmenu) {
                HideWhenEmpty(*pTarget);
                pTarget = pMenu;
            } else if (const LCommand* pRow = commands.Find(e.iId)) {
                auto* pAction = new QAction(pRow->szMenuText, &owner);
                pAction->setData(e.iId);
                pAction->setShortcuts(Keys(pRow->szKey));
                pTarget->addAction(pAction);
                mapActions[e.iId] = pAction;
            }
        }
        HideWhenEmpty(*pMenu);
    }
    pFileMenu = mapMenus["&File"];
    pWindowMenu = mapMenus["&Window"];
    for (int iId : { CM_VERTICALZOOM, CM_DISPLAYPLUSMINUS, CM_DISPLAYLEFTRIGHT, CM_PLAYSLOW,
             CM_PLAYNORMAL, CM_PLAYFAST })
        if (QAction* p = Action(iId))
            p->setCheckable(true);
    for (auto group : { std::initializer_list<int> { CM_PLAYSLOW, CM_PLAYNORMAL, CM_PLAYFAST },
             std::initializer_list<int> { CM_DISPLAYPLUSMINUS, CM_DISPLAYLEFTRIGHT } }) {
        auto* pGroup = new QActionGroup(&owner);
        for (int iId : group)
            if (QAction* p = Action(iId))
                pGroup->addAction(p);
    }
}

void LMainMenu::BuildContextMenu(QMenu& menu) const
{
    menu.setSeparatorsCollapsible(true);
    for (const Entry& e : ContextLayout()) {
        if (e.iId == kSeparator) {
            menu.addSeparator();
        } else if (e.iId == kSubmenu) {
            auto it = mapMenus.find(e.szSubmenu);
            if (it != mapMenus.end() && it->second->menuAction()->isVisible())
                menu.addMenu(it->second);
        } else if (QAction* pAction = Action(e.iId)) {
            menu.addAction(pAction);
        }
    }
}
