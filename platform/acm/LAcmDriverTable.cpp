#include "platform/acm/LAcmDriver.h"

#if __has_include("platform/acm/gsm/LAcmGsmDriver.h")
#include "platform/acm/gsm/LAcmGsmDriver.h"
#define ORVENNA_ACM_HAVE_GSM 1
#endif
#if __has_include("platform/acm/mp3/LAcmMp3Driver.h")
#include "platform/acm/mp3/LAcmMp3Driver.h"
#define ORVENNA_ACM_HAVE_MP3 1
#endif

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
#ifdef ORVENNA_ACM_HAVE_GSM
    CreateGsmDriver,
#endif
#ifdef ORVENNA_ACM_HAVE_MP3
    CreateMp3Driver,
#endif
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
