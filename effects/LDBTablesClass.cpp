#include "effects/LDBTablesClass.h"

#include <algorithm>
#include <cmath>

namespace {
int32_t ToGain(double dRatio)
{
    double d = std::trunc(dRatio * 16777216.0 + 0.5);
    return d >= 2147483647.0 ? 0x7FFFFFFF : int32_t(d);
}
} // namespace

LDBTablesClass::LDBTablesClass()
{
    for (int i = 0; i < 256; ++i) {
        int iDb = i - 128;
        aAmplitude[i] = iDb <= -127 ? 0 : ToGain(std::pow(10.0, iDb * 0.05));
        aPower[i] = iDb <= -127 ? 0 : ToGain(std::pow(10.0, iDb * 0.1));
    }
}

const LDBTablesClass& LDBTablesClass::Get()
{
    static const LDBTablesClass tables;
    return tables;
}

int32_t LDBTablesClass::Amplitude(int iDb)
{
    return Get().aAmplitude[std::clamp(iDb, -128, 127) + 128];
}
int32_t LDBTablesClass::Power(int iDb)
{
    return Get().aPower[std::clamp(iDb, -128, 127) + 128];
}
