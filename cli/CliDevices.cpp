#include "cli/CliCommand.h"
#include "platform/sound/LWaveIn.h"
#include "platform/sound/LWaveOut.h"

#include <cstdio>

namespace {
template <class Device> void PrintDevices(const char* szTitle)
{
    std::printf("%s\n", szTitle);
    for (int32_t i = 0; i < Device::GetDeviceCount(); ++i)
        std::printf("  %3d  %s\n", i, Device::GetDeviceName(i).c_str());
}
} // namespace

int CliDevices(const std::vector<std::string>& args)
{
    if (!args.empty())
        return CliFail("devices takes no arguments");
    PrintDevices<LWaveOut>("output devices (-1 = the default, number 0)");
    PrintDevices<LWaveIn>("input devices (-1 = the default, number 0)");
    return kExitOk;
}
