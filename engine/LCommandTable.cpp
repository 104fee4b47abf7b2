#include "engine/LCommandTable.h"

#include <algorithm>
#include <strings.h>

bool LCommand::IsEnabled(const LCommandState& s) const
{
    const std::pair<unsigned, bool> aNeeds[] = {
        { kCmdDocument, s.bDocument },
        { kCmdSelection, s.bDocument && s.bSelection },
        { kCmdClipboard, s.bClipboard },
        { kCmdUndoable, s.bDocument && s.bUndoable },
        { kCmdDirty, s.bDocument && s.bDirty },
        { kCmdStereo, s.bDocument && s.bStereo },
    };
    return std::all_of(std::begin(aNeeds), std::end(aNeeds),
        [this](const auto& need) { return !(uFlags & need.first) || need.second; });
}

void LCommandTable::Register(std::vector<LCommand> added)
{
    for (LCommand& row : added) {
        auto it = std::find_if(
            rows.begin(), rows.end(), [&row](const LCommand& c) { return c.iId == row.iId; });
        if (it != rows.end())
            *it = std::move(row);
        else
            rows.push_back(std::move(row));
    }
}

const LCommand* LCommandTable::Find(int iId) const
{
    auto it
        = std::find_if(rows.begin(), rows.end(), [iId](const LCommand& c) { return c.iId == iId; });
    return it == rows.end() ? nullptr : &*it;
}

const LCommand* LCommandTable::Find(const std::string& strName) const
{
    auto it = std::find_if(rows.begin(), rows.end(),
        [&strName](const LCommand& c) { return strcasecmp(c.szName, strName.c_str()) == 0; });
    return it == rows.end() ? nullptr : &*it;
}

std::vector<const LCommand*> LCommandTable::MacroCommands() const
{
    std::vector<const LCommand*> list;
    for (const LCommand& c : rows)
        if (c.iMacro > 0)
            list.push_back(&c);
    std::sort(list.begin(), list.end(),
        [](const LCommand* a, const LCommand* b) { return a->iMacro < b->iMacro; });
    return list;
}
