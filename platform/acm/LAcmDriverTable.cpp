#include "platform/acm/LAcmDriver.h"

namespace {

// An explicit list rather than self-registering objects: the layer is a
// static library, and the linker drops object files nothing refers to.
LAcmDriver* (*const kFactories[])() = {
    CreatePcmDriver,
    CreateFloatDriver,
    CreateAlawDriver,
    CreateMulawDriver,
    CreateImaAdpcmDriver,
    CreateMsAdpcmDriver,
    CreateGsmDriver,
    CreateMp3Driver,
};

std::vector<std::unique_ptr<LAcmDriver>> MakeDrivers()
{
    std::vector<std::unique_ptr<LAcmDriver>> v;
    for (auto fn : kFactories) {
        if (LAcmDriver* p = fn())
            v.emplace_back(p);
    }
    return v;
}

} // namespace

const std::vector<std::unique_ptr<LAcmDriver>>& LAcmDriverTable::Drivers()
{
    static const std::vector<std::unique_ptr<LAcmDriver>> s = MakeDrivers();
    return s;
}
