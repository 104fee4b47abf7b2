#include "platform/sound/LSoundDevices.h"

#include "platform/sound/LPortAudio.h"

#include <mutex>

namespace {
struct DeviceLists {
    std::mutex mLock;
    bool bRead = false;
    std::vector<std::string> vOutputs;
    std::vector<std::string> vInputs;
};
DeviceLists& Lists()
{
    static DeviceLists lists;
    return lists;
}

// Caller holds the lists' lock.
void ReadLists(DeviceLists& lists, bool bRescan)
{
    lists.vOutputs = LPortAudio::ListDevices(false, bRescan);
    lists.vOutputs.push_back(LSoundDevices::kNullName);
    lists.vInputs = LPortAudio::ListDevices(true, false);
    lists.vInputs.push_back(LSoundDevices::kNullName);
    lists.bRead = true;
}
} // namespace

void LSoundDevices::Refresh()
{
    std::lock_guard<std::mutex> lock(Lists().mLock);
    ReadLists(Lists(), true);
}

std::vector<std::string> LSoundDevices::List(bool bInput)
{
    std::lock_guard<std::mutex> lock(Lists().mLock);
    if (!Lists().bRead)
        ReadLists(Lists(), false);
    return bInput ? Lists().vInputs : Lists().vOutputs;
}

bool LSoundDevices::Resolve(bool bInput, int32_t iDevice, std::string& strName, bool& bNull)
{
    std::vector<std::string> names = List(bInput);
    if (iDevice == -1)
        iDevice = 0;
    if (iDevice < 0 || size_t(iDevice) >= names.size())
        return false;
    strName = names[size_t(iDevice)];
    bNull = size_t(iDevice) == names.size() - 1;
    return true;
}

int32_t LSoundDevices::Find(bool bInput, const std::string& strName)
{
    std::vector<std::string> names = List(bInput);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == strName)
            return int32_t(i);
    return -2;
}
