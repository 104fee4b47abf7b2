#include "audio/LWaveFileFormat.h"

#include "platform/acm/LAcm.h"

bool LWaveFileFormat::TestSupportedRecord(const LWaveFormat& format)
{
    LWaveFormat pcm = LWaveFormat::Pcm(format.wfx.nChannels, format.wfx.nSamplesPerSec, 16);
    return acmStreamOpenAnyDriver(nullptr, &pcm, &format, ACM_STREAMOPENF_QUERY)
        == MMSYSERR_NOERROR;
}
