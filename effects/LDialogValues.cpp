#include "effects/LDialogValues.h"

#include <strings.h>

void LDialogValues::Set(const std::string& strName, int32_t iValue)
{
    for (auto& item : items) {
        if (item.first == strName) {
            item.second = iValue;
            return;
        }
    }
    items.emplace_back(strName, iValue);
}

int32_t LDialogValues::Get(const std::string& strName, int32_t iDefault) const
{
    for (const auto& item : items)
        if (item.first == strName)
            return item.second;
    return iDefault;
}

bool LDialogValues::Has(const std::string& strName) const
{
    for (const auto& item : items)
        if (item.first == strName)
            return true;
    return false;
}

bool LDialogValues::SetByName(const std::string& strName, int32_t iValue)
{
    for (auto& item : items) {
        if (strcasecmp(item.first.c_str(), strName.c_str()) == 0) {
            item.second = iValue;
            return true;
        }
    }
    return false;
}
