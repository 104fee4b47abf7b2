#include "audio/LWaveFileFormat.h"
#include "platform/acm/LAcm.h"

bool LWaveFileFormat::TestSupportedRecord(const LWaveFormat& format)
{
    LWaveFormat pcm = LWaveFormat::Pcm(format.wfx.nChannels, format.wfx.nSamplesPerSec, 16);
    return acmStreamOpen(nullptr, nullptr, &pcm, &format, nullptr, 0, 0, ACM_STREAMOPENF_QUERY)
            == MMSYSERR_NOERROR
        || acmStreamOpen(nullptr, nullptr, &pcm, &format, nullptr, 0, 0,
               ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME)
            == MMSYSERR_NOERROR;
}
