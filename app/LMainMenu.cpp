#include "app/LMainMenu.h"
#include "engine/MainDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <vector>

namespace {
// One menu entry; id 0 is a separator, a null text with a submenu title
// opens a submenu that ends at the next entry with id -1.
struct Item {
    int iId;
    const char* szText;
    const char* szKey;
};
constexpr int kSubmenu = -2, kEndSubmenu = -1;

struct Menu {
    const char* szTitle;
    std::vector<Item> items;
};

const std::vector<Menu>& Menus()
{
    static const std::vector<Menu> menus = {
        {"&File",
         {{CM_FILENEW, "&New File...\tCtrl+N", "Ctrl+N"},
          {CM_FILEOPEN, "&Open File...\tCtrl+O", "Ctrl+O"},
          {CM_CDIMPORT, "&Load Audio CD Track(s)...\tCtrl+L", "Ctrl+L"},
          {CM_FILECLOSE, "Close File", nullptr},
          {0, nullptr, nullptr},
          {CM_FILESAVE, "&Save File\tCtrl+S", "Ctrl+S"},
          {CM_FILESAVEAS, "Save File &As...\tCtrl+S", nullptr},
          {0, nullptr, nullptr},
          {CM_OPENPROJECT, "Open Project...", nullptr},
          {CM_CLOSEPROJECT, "Close Project", nullptr},
          {CM_SAVEPROJECT, "Save Project", nullptr},
          {CM_SAVEPROJECTAS, "Save Project As...", nullptr},
          {0, nullptr, nullptr},
          {CM_CONVERTRATE, "Convert Sample Rate", nullptr},
          {CM_CONVERTMONO, "Mono", nullptr},
          {CM_CONVERTSTEREO, "Stereo", nullptr},
          {0, nullptr, nullptr},
          {CM_SEND, "Send...", nullptr},
          {0, nullptr, nullptr},
          {CM_SETTINGS, "Settings...", nullptr},
          {0, nullptr, nullptr},
          {CM_EXIT, "E&xit", nullptr}}},
        {"&Edit",
         {{CM_UNDO, "Undo \tCtrl+Z", "Ctrl+Z"},
          {0, nullptr, nullptr},
          {CM_CUT, "Cut \tCtrl+X", "Ctrl+X"},
          {CM_COPY, "Copy \tCtrl+C", "Ctrl+C"},
          {CM_PASTE, "Paste \tCtrl+V", "Ctrl+V"},
          {CM_PASTEMIX, "Paste Mix...", nullptr},
          {CM_DELETE, "&Delete", "Delete"},
          {CM_SELECTALL, "Select All\tCtrl+A", "Ctrl+A"},
          {0, nullptr, nullptr},
          {CM_MIXFILE, "Mix File...", nullptr},
          {CM_REPEATLOOP, "Repeat Loop...", nullptr},
          {CM_TRIM, "Trim\tCtrl+T", "Ctrl+T"},
          {CM_TRIMSTART, "Trim Start\tCtrl+M", "Ctrl+M"},
          {CM_TRIMEND, "Trim End\tCtrl+E", "Ctrl+E"},
          {CM_AUTOTRIM, "Auto Trim", nullptr},
          {CM_SILENCE, "Silence Select Region", nullptr},
          {kSubmenu, "Insert Silence...", nullptr},
          {CM_INSSILENCEBEGIN, "Begin", nullptr},
          {CM_INSSILENCECURRENT, "Current", nullptr},
          {CM_INSSILENCEEND, "End", nullptr},
          {kEndSubmenu, nullptr, nullptr},
          {kSubmenu, "Insert File...", nullptr},
          {CM_INSFILEBEGIN, "Begin", nullptr},
          {CM_INSFILECURRENT, "Current", nullptr},
          {CM_INSFILEEND, "End", nullptr},
          {kEndSubmenu, nullptr, nullptr},
          {CM_COPYTONEW, "Copy To New", nullptr}}},
        {"&Play",
         {{CM_RECORD, "&Record\tF5", "F5"},
          {CM_PLAY, "&Play\tF9", "F9"},
          {0, nullptr, nullptr},
          {CM_PLAYSLOW, "Play Slow Speed\tF11", "F11"},
          {CM_PLAYNORMAL, "Play Normal Speed\tF10", "F10"},
          {CM_PLAYFAST, "Play Fast Speed\tF12", "F12"},
          {0, nullptr, nullptr},
          {CM_STOP, "&Stop\tEsc", "Esc"},
          {CM_GOTOSTART, "Go To Start\tHome", "Home"},
          {CM_REWIND, "Rewind\tF7", "F7"},
          {CM_FASTFORWARD, "Fast Forward\tF8", "F8"},
          {CM_GOTOEND, "Go To End\tEnd", "End"}}},
        {"Effec&ts",
         {{CM_AMPLIFY, "Amplify...", nullptr},
          {CM_NORMALIZE, "Normalize...", nullptr},
          {4003, "Equalizer...", nullptr},
          {4004, "Echo...", nullptr},
          {4005, "Reverb...", nullptr},
          {0, nullptr, nullptr},
          {CM_FADEIN, "Fade In", nullptr},
          {CM_FADEOUT, "Fade Out", nullptr},
          {CM_FADEOUTTRIM, "Fade Out and Trim", nullptr},
          {CM_ENVELOPE, "Envelope...", nullptr},
          {0, nullptr, nullptr},
          {4009, "Automatic Gain Control...", nullptr},
          {4010, "Noise Reduction...", nullptr},
          {4011, "High-Pass Filter...", nullptr},
          {4012, "Dynamic Range Compressor...", nullptr},
          {0, nullptr, nullptr},
          {CM_SPEEDPITCH, "Simple Speed and Pitch Change...", nullptr},
          {CM_PITCHSPEED, "Constant Pitch and Speed Change...", nullptr},
          {CM_SPEEDCONSTPITCH, "Constant Speed and Pitch Change...", nullptr},
          {0, nullptr, nullptr},
          {CM_DCOFFSET, "DC Offset Correction", nullptr},
          {CM_REVERSE, "Reverse", nullptr}}},
        {"&View",
         {{CM_ZOOMIN, "Zoom In\tCtrl+Plus", "Ctrl+Plus"},
          {CM_ZOOMOUT, "Zoom Out\tCtrl+Minus", "Ctrl+Minus"},
          {CM_ZOOMSELECTION, "Zoom To Selection\tCtrl+Shift+S", "Ctrl+Shift+S"},
          {CM_ZOOMFULL, "Zoom Full\tCtrl+Shift+F", "Ctrl+Shift+F"},
          {0, nullptr, nullptr},
          {CM_VERTICALZOOM, "Vertical Zoom\tCtrl+Shift+V", "Ctrl+Shift+V"},
          {0, nullptr, nullptr},
          {CM_DISPLAYPLUSMINUS, "Display Wave Form in + /-", nullptr},
          {CM_DISPLAYLEFTRIGHT, "Display Wave Form in L / R", nullptr}}},
        {"T&ools",
         {{CM_FFT, "Frequency Analysis (FFT)", nullptr},
          {CM_TONESMITH, "Tonesmith", nullptr},
          {CM_BATCH, "Batch Converter", nullptr},
          {CM_TTS, "Text To Speech", nullptr},
          {0, nullptr, nullptr},
          {CM_SETBOOKMARK, "Set Bookmark\tCtrl+B", "Ctrl+B"},
          {CM_OPENBOOKMARKS, "Open Bookmark List\tCtrl+Shift+B", "Ctrl+Shift+B"},
          {CM_ADDREGION, "Add Region\tCtrl+R", "Ctrl+R"},
          {CM_OPENREGIONS, "Open Region List\tCtrl+Shift+R", "Ctrl+Shift+R"},
          {CM_ASSEMBLEREGIONS, "Assemble Regions", nullptr}}},
        {"&Window",
         {{CM_CASCADE, "Cascade", nullptr},
          {CM_TILEHORIZONTAL, "Tile Horizontal", nullptr},
          {CM_TILEVERTICAL, "Tile Vertical", nullptr},
          {CM_ARRANGEICONS, "Arrange Icons", nullptr},
          {0, nullptr, nullptr},
          {CM_CLOSEALL, "Close All", nullptr}}},
        {"&Help",
         {{CM_HELPCONTENTS, "&Help Contents", "F1"},
          {0, nullptr, nullptr},
          {CM_ABOUT, "About Orvenna", nullptr}}},
    };
    return menus;
}

struct HintEntry {
    int iId;
    const char* szHint;
};
const HintEntry aHints[] = {
    {1001, "Creates a new audio file."}, {1002, "Opens an existing file."}, {1003, "Closes the current file."},
    {1004, "Saves the current file."}, {1005, "Saves the current file with a new name or format."},
    {1006, "Converts the sample rate of the current file."}, {1007, "Converts current file to mono."},
    {1008, "Converts current file to stereo."}, {1009, "Sends the file by email."},
    {1010, "Sets Orvenna default settings."}, {1011, "Load audio track(s) from CDs."}, {1048, "Quit"},
    {2001, "Reverses (undo) the last action."}, {2002, "Cuts the selection and keeps it on the Clipboard."},
    {2003, "Copies the selection to the Clipboard."}, {2004, "Inserts clipboard contents."},
    {2005, "Mixes the clipboard contents over the current selected region."}, {2007, "Selects the entire file."},
    {2008, "Mixes the current file with another file"}, {2009, "Repeats the selected region."},
    {2010, "The selected region becomes the entire file."}, {2011, "Deletes everything before the current position."},
    {2012, "Deletes everything after the current position."}, {2013, "Deletes silence from the start and end."},
    {2014, "Silences the selected region."}, {2015, "Inserts silence at the start."},
    {2016, "Inserts silence at the current position."}, {2017, "Inserts silence at the end."},
    {2018, "Inserts another file at the start."}, {2019, "Inserts another file at the current position."},
    {2020, "Inserts another file at the end."}, {2021, "Copies the selected region to a new file."},
    {3001, "Records at the current position (or over selection)."},
    {3002, "Plays the current file from the current position."}, {3006, "Stops playback."},
    {3007, "Moves to the start of the file."}, {3008, "Rewinds"}, {3009, "Fast-forwards"},
    {3010, "Moves to the end of the current file."},
    {4001, "Increases or decreases the volume of the selected region."},
    {4002, "Adjusts the volume to an optimal (normal) level."}, {4003, "Changes the tone with graphic equaliser"},
    {4004, "Adds echo to the selected region."}, {4005, "Adds reverb to the selected region."},
    {4006, "Fades in over the selected region."}, {4007, "Fades out over the selected region."},
    {4008, "Adjusts the volume envelope over the selected region."},
    {4009, "Increases soft regions and decreases loud regions for a perfect volume."},
    {4010, "Reduces background noise."}, {4011, "Removes lower frequencies."},
    {4012, "Volume compression, limiting or noise gates."},
    {4013, "Fades out over the selected region and deletes everything after the end position."},
    {4014, "Adjust speed and pitch."}, {4015, "Adjusts speed without changing pitch."},
    {4016, "Adjusts pitch without changing the speed."}, {4017, "Removes DC component to avoid clicks when editing."},
    {4018, "Reverses the selected region."}, {7001, "Views the spectrum content of an audio signal."},
    {7002, "Creates new tones."}, {7003, "Applies multiple effect or edit functions on the current file at once."},
    {7004, "Converts text to audio."}, {8001, "Remembers the current position of the file."},
    {8003, "Set a specified bookmark at the current position."}, {8004, "Remembers the current selection of the file."},
    {8005, "Assemble regions into a new file."}, {8009, "Select a specified region."}, {5001, "Zooms in."},
    {5002, "Zooms out."}, {5003, "Zooms to the selected region."}, {5004, "Displays the entire wave length."},
    {5005, "Increase the amplitude of the display (to see softer sounds)."}, {5007, "Wave display + up / - down."},
    {5008, "Wave display left channel up / right channel down."}, {5009, "Cascade windows on the Desktop"},
    {5010, "Tile windows horizontally on the Desktop"}, {5011, "Tile windows vertically on the Desktop"},
    {5012, "Arrange all iconized Windows"}, {5040, "Closes all windows."}, {6000, "Displays the manual."},
    {6013, "Displays program information including version number"},
};

// Features not built yet; their items stay disabled.
const int aUnavailable[] = {CM_SEND, CM_SETTINGS, CM_CDIMPORT, CM_OPENPROJECT, CM_CLOSEPROJECT, CM_SAVEPROJECT,
                            CM_SAVEPROJECTAS, CM_RECORD, 4003, 4004, 4005, CM_ENVELOPE, 4009, 4010, 4011, 4012,
                            CM_FFT, CM_TONESMITH, CM_BATCH, CM_TTS, CM_SETBOOKMARK, CM_OPENBOOKMARKS,
                            CM_ADDREGION, CM_OPENREGIONS, CM_ASSEMBLEREGIONS};

QList<QKeySequence> Keys(const char* szKey)
{
    if (!szKey)
        return {};
    QString strKey = szKey;
    // Zooming is bound to the numeric pad's keys and, for keyboards without
    // one, to the main keys.
    if (strKey == "Ctrl+Plus")
        return {QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)),
                QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Plus))};
    if (strKey == "Ctrl+Minus")
        return {QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)),
                QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Minus))};
    return {QKeySequence(strKey)};
}
} // namespace

QString LMainMenu::Hint(int iId)
{
    if (iId >= CM_RECENTFIRST && iId <= CM_RECENTLAST)
        return "Open the recent closed file.";
    for (const HintEntry& h : aHints)
        if (h.iId == iId)
            return h.szHint;
    return {};
}

bool LMainMenu::IsUnavailable(int iId)
{
    for (int i : aUnavailable)
        if (i == iId)
            return true;
    return false;
}

QAction* LMainMenu::Action(int iId) const
{
    auto it = mapActions.find(iId);
    return it == mapActions.end() ? nullptr : it->second;
}

void LMainMenu::Build(QMenuBar& bar, QObject& owner)
{
    for (const Menu& m : Menus()) {
        QMenu* pMenu = bar.addMenu(m.szTitle);
        QMenu* pTarget = pMenu;
        for (const Item& item : m.items) {
            if (item.iId == 0) {
                pTarget->addSeparator();
            } else if (item.iId == kSubmenu) {
                pTarget = pMenu->addMenu(item.szText);
                (pInsertSilence ? pInsertFile : pInsertSilence) = pTarget;
            } else if (item.iId == kEndSubmenu) {
                pTarget = pMenu;
            } else {
                auto* pAction = new QAction(item.szText, &owner);
                pAction->setData(item.iId);
                pAction->setShortcuts(Keys(item.szKey));
                // Commands still to come are not shown.
                pAction->setVisible(!IsUnavailable(item.iId));
                pTarget->addAction(pAction);
                mapActions[item.iId] = pAction;
            }
        }
        // A menu with nothing to show is not shown either (it keeps its place).
        const QList<QAction*> actions = pMenu->actions();
        pMenu->menuAction()->setVisible(std::any_of(actions.begin(), actions.end(), [](const QAction* p) {
            return !p->isSeparator() && p->isVisible();
        }));
        pMenu->setSeparatorsCollapsible(true);
        if (pMenu->title() == "&File")
            pFileMenu = pMenu;
        else if (pMenu->title() == "&Window")
            pWindowMenu = pMenu;
        else if (pMenu->title() == "Effec&ts")
            pEffects = pMenu;
    }
    for (int iId : std::initializer_list<int>{CM_VERTICALZOOM, CM_DISPLAYPLUSMINUS, CM_DISPLAYLEFTRIGHT, CM_PLAYSLOW, CM_PLAYNORMAL,
                    CM_PLAYFAST})
        mapActions[iId]->setCheckable(true);
    auto* pSpeeds = new QActionGroup(&owner);
    for (int iId : {CM_PLAYSLOW, CM_PLAYNORMAL, CM_PLAYFAST})
        pSpeeds->addAction(mapActions[iId]);
    auto* pModes = new QActionGroup(&owner);
    for (int iId : {CM_DISPLAYPLUSMINUS, CM_DISPLAYLEFTRIGHT})
        pModes->addAction(mapActions[iId]);
}

void LMainMenu::BuildContextMenu(QMenu& menu) const
{
    menu.setSeparatorsCollapsible(true);
    for (int iId : {CM_UNDO, CM_CUT, CM_COPY, CM_PASTE, CM_PASTEMIX, CM_DELETE, CM_SELECTALL, CM_MIXFILE,
                    CM_REPEATLOOP, CM_TRIM, CM_TRIMSTART, CM_TRIMEND, CM_AUTOTRIM, CM_SILENCE})
        menu.addAction(Action(iId));
    menu.addMenu(pInsertSilence);
    menu.addMenu(pInsertFile);
    menu.addAction(Action(CM_COPYTONEW));
    menu.addSeparator();
    menu.addMenu(pEffects);
    menu.addSeparator();
    menu.addAction(Action(CM_SETBOOKMARK));
    menu.addAction(Action(CM_ADDREGION));
}
