#include "platform/sound/LMixer.h"

#include "platform/LTrace.h"
#include "platform/sound/LSoundDevices.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <vector>

namespace {
// The ALSA mixer of a wave device: the card named in a device name such as
// "HDA Intel PCH: ALC892 Analog (hw:0,0)", else the default one; none for
// the null device.
std::string MixerName(bool bInput, int32_t iDevice)
{
    std::string strName;
    bool bNull = false;
    if (!LSoundDevices::Resolve(bInput, iDevice, strName, bNull) || bNull)
        return "";
    size_t iHw = strName.find("(hw:");
    if (iHw == std::string::npos)
        return "default";
    size_t iEnd = strName.find_first_of(",)", iHw);
    return strName.substr(iHw + 1, iEnd == std::string::npos ? std::string::npos : iEnd - iHw - 1);
}

// An open, loaded simple mixer; invalid when there is none.
class AlsaMixer {
public:
    explicit AlsaMixer(const std::string& strCard)
    {
        if (strCard.empty() || snd_mixer_open(&pMixer, 0) < 0)
            return;
        if (snd_mixer_attach(pMixer, strCard.c_str()) < 0
            || snd_mixer_selem_register(pMixer, nullptr, nullptr) < 0
            || snd_mixer_load(pMixer) < 0) {
            LTrace("LMixer: no mixer '%s'", strCard.c_str());
            snd_mixer_close(pMixer);
            pMixer = nullptr;
        }
    }
    ~AlsaMixer()
    {
        if (pMixer)
            snd_mixer_close(pMixer);
    }
    AlsaMixer(const AlsaMixer&) = delete;
    AlsaMixer& operator=(const AlsaMixer&) = delete;

    bool IsValid() const { return pMixer != nullptr; }
    snd_mixer_elem_t* Find(const char* szName) const
    {
        if (!pMixer)
            return nullptr;
        snd_mixer_selem_id_t* pId = nullptr;
        snd_mixer_selem_id_alloca(&pId);
        snd_mixer_selem_id_set_name(pId, szName);
        return snd_mixer_find_selem(pMixer, pId);
    }
    // The capture source chooser ("Capture Source", "Input Source" ...), if any.
    snd_mixer_elem_t* CaptureEnum() const
    {
        for (snd_mixer_elem_t* p = First(); p; p = snd_mixer_elem_next(p))
            if (snd_mixer_selem_is_enum_capture(p))
                return p;
        return nullptr;
    }
    // Without a chooser: the elements with a capture switch of their own.
    std::vector<snd_mixer_elem_t*> CaptureSwitches() const
    {
        std::vector<snd_mixer_elem_t*> v;
        for (snd_mixer_elem_t* p = First(); p; p = snd_mixer_elem_next(p))
            if (snd_mixer_selem_has_capture_switch(p)
                && std::string(snd_mixer_selem_get_name(p)) != "Capture")
                v.push_back(p);
        return v;
    }

private:
    snd_mixer_elem_t* First() const { return pMixer ? snd_mixer_first_elem(pMixer) : nullptr; }
    snd_mixer_t* pMixer = nullptr;
};

long Scale(uint32_t uMapped, long lMin, long lMax)
{
    return lMin + long((int64_t(lMax) - lMin) * uMapped / 65535);
}

// Playback volume and switch; false when a control refuses.
bool SetPlayback(snd_mixer_elem_t* pElem, int32_t iVolumeDb)
{
    long lMin = 0, lMax = 0;
    if (snd_mixer_selem_has_playback_volume(pElem)) {
        snd_mixer_selem_get_playback_volume_range(pElem, &lMin, &lMax);
        if (snd_mixer_selem_set_playback_volume_all(
                pElem, Scale(LMixer::MapVolume(iVolumeDb), lMin, lMax))
            < 0)
            return false;
    }
    return !snd_mixer_selem_has_playback_switch(pElem)
        || snd_mixer_selem_set_playback_switch_all(pElem, 1) >= 0;
}

bool SetCapture(snd_mixer_elem_t* pElem, uint32_t uMapped, bool bOn)
{
    long lMin = 0, lMax = 0;
    if (snd_mixer_selem_has_capture_volume(pElem)) {
        snd_mixer_selem_get_capture_volume_range(pElem, &lMin, &lMax);
        if (snd_mixer_selem_set_capture_volume_all(pElem, Scale(uMapped, lMin, lMax)) < 0)
            return false;
    }
    return !snd_mixer_selem_has_capture_switch(pElem)
        || snd_mixer_selem_set_capture_switch_all(pElem, bOn) >= 0;
}

bool SelectEnumItem(snd_mixer_elem_t* pElem, unsigned uItem)
{
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
        auto channel = snd_mixer_selem_channel_id_t(c);
        unsigned uOld = 0;
        if (snd_mixer_selem_get_enum_item(pElem, channel, &uOld) < 0)
            continue; // no such channel
        if (snd_mixer_selem_set_enum_item(pElem, channel, uItem) < 0)
            return false;
    }
    return true;
}
} // namespace

uint32_t LMixer::MapVolume(int32_t iVolumeDb)
{
    if (iVolumeDb < -35)
        return 0;
    return std::min<uint32_t>(65535, uint32_t(iVolumeDb + 36) * 1424);
}

int32_t LMixer::GetInputChannelCount(int32_t iWaveInDevice)
{
    if (iWaveInDevice < 0)
        return 0;
    AlsaMixer mixer(MixerName(true, iWaveInDevice));
    int32_t n = 0;
    if (snd_mixer_elem_t* pEnum = mixer.CaptureEnum())
        n = std::max(0, snd_mixer_selem_get_enum_items(pEnum));
    else
        n = int32_t(mixer.CaptureSwitches().size());
    return std::min(n, 127);
}

bool LMixer::GetInputChannelName(int32_t iWaveInDevice, int32_t iChannel, std::string& strName)
{
    strName.clear();
    if (iChannel == -1) {
        strName = "Windows Record Mixer";
        return true;
    }
    if (iWaveInDevice < 0 || iChannel < 0 || iChannel >= GetInputChannelCount(iWaveInDevice))
        return false;
    AlsaMixer mixer(MixerName(true, iWaveInDevice));
    char szName[32] = {};
    if (snd_mixer_elem_t* pEnum = mixer.CaptureEnum()) {
        if (snd_mixer_selem_get_enum_item_name(pEnum, unsigned(iChannel), sizeof szName, szName)
            < 0)
            return false;
        strName = szName;
    } else {
        std::vector<snd_mixer_elem_t*> v = mixer.CaptureSwitches();
        if (size_t(iChannel) >= v.size())
            return false;
        strName = snd_mixer_selem_get_name(v[size_t(iChannel)]);
    }
    strName.resize(std::min<size_t>(strName.size(), 31));
    return true;
}

void LMixer::SetInputChannel(int32_t iWaveInDevice, int32_t iChannel, int32_t iVolumeDb)
{
    if (iWaveInDevice < 0 || iChannel < 0)
        return;
    AlsaMixer mixer(MixerName(true, iWaveInDevice));
    if (!mixer.IsValid())
        return;
    uint32_t uMapped = MapVolume(iVolumeDb);
    if (snd_mixer_elem_t* pDest = mixer.Find("Capture"); pDest && !SetCapture(pDest, uMapped, true))
        return;
    if (snd_mixer_elem_t* pEnum = mixer.CaptureEnum()) {
        if (iChannel < snd_mixer_selem_get_enum_items(pEnum))
            SelectEnumItem(pEnum, unsigned(iChannel));
        return;
    }
    std::vector<snd_mixer_elem_t*> v = mixer.CaptureSwitches();
    for (size_t i = 0; i < v.size(); ++i) {
        bool bChosen = i == size_t(iChannel);
        if (!SetCapture(v[i], bChosen ? uMapped : 0, bChosen))
            return;
    }
}

void LMixer::SetOutVolume(int32_t iWaveOutDevice, int32_t iVolumeDb, int32_t iOffsetDb)
{
    if (iWaveOutDevice < 0)
        return;
    AlsaMixer mixer(MixerName(false, iWaveOutDevice));
    if (!mixer.IsValid())
        return;
    if (snd_mixer_elem_t* pMaster = mixer.Find("Master");
        pMaster && !SetPlayback(pMaster, iVolumeDb))
        return;
    int32_t iWave = std::clamp(iVolumeDb + iOffsetDb, -127, 127);
    if (snd_mixer_elem_t* pPcm = mixer.Find("PCM"))
        SetPlayback(pPcm, iWave);
}
