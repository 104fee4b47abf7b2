#include "app/LMDIMainWindow.h"

#include <gtest/gtest.h>
#include <set>
#include <strings.h>

namespace {
// Commands the layers above the engine register when they are built.
const std::set<int> kRegisteredAbove
    = { CM_CDIMPORT, CM_OPENPROJECT, CM_CLOSEPROJECT, CM_SAVEPROJECT, CM_SAVEPROJECTAS, CM_SEND,
          CM_SETTINGS, CM_RECORD, CM_EQUALIZER, CM_ECHO, CM_REVERB, CM_ENVELOPE, CM_AGC,
          CM_NOISEREDUCTION, CM_HIGHPASS, CM_COMPRESSOR, CM_FFT, CM_TONESMITH, CM_BATCH, CM_TTS,
          CM_SETBOOKMARK, CM_OPENBOOKMARKS, CM_ADDREGION, CM_ASSEMBLEREGIONS, CM_OPENREGIONS };

std::set<int> LayoutIds(const std::vector<LMainMenu::Entry>& entries)
{
    std::set<int> ids;
    for (const LMainMenu::Entry& e : entries)
        if (e.iId > 0)
            ids.insert(e.iId);
    return ids;
}
} // namespace

// The window's table: the engine's rows and the frame's own.
TEST(CommandTable, RowsAreUniqueRunnableAndEveryMenuEntryHasOne)
{
    LMDIMainWindow w;
    const LCommandTable& table = w.GetController().GetCommands();
    std::set<int> ids;
    std::set<std::string> names;
    std::set<int> menuIds;
    for (const LMainMenu::Menu& m : LMainMenu::Layout())
        menuIds.merge(LayoutIds(m.entries));
    for (const LCommand& c : table.Rows()) {
        SCOPED_TRACE(c.szName);
        EXPECT_TRUE(ids.insert(c.iId).second) << "id " << c.iId << " twice";
        std::string strLower = c.szName;
        for (char& ch : strLower)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_TRUE(names.insert(strLower).second) << "name twice";
        EXPECT_TRUE(c.fnRun) << "no handler";
        EXPECT_TRUE(*c.szName && *c.szMenuText);
        EXPECT_TRUE(menuIds.count(c.iId)) << "not in any menu";
        EXPECT_EQ(!(c.uFlags & kCmdUndoStep) || c.szUndo, true) << "an undo step needs its name";
    }
    for (int iId : menuIds)
        EXPECT_TRUE(table.Find(iId) || kRegisteredAbove.count(iId))
            << "menu id " << iId << " has no row";
    for (int iId : LayoutIds(LMainMenu::ContextLayout()))
        EXPECT_TRUE(menuIds.count(iId)) << "context id " << iId << " is in no menu";
}
