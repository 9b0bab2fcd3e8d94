#pragma once
// The wave-out service on ALSA. Each open device runs a playback thread of
// its own; only that thread touches the PCM, and it posts the open, done and
// close notifications to the receiver.
#include <string>
#include <vector>

#include "generator/audioout/WaveOut.h"

namespace orv {

class AlsaWaveOut : public WaveOutService {
public:
    // The playback PCMs of ALSA's name hints (what `aplay -L` lists).
    AlsaWaveOut();
    // Device k is pcmNames[k], described by its name.
    explicit AlsaWaveOut(std::vector<std::string> pcmNames);

    // -1 opens "default". Codes are ALSA's negative errno values.
    WaveResult Open(int deviceId, const WaveFormat& format, int32_t bufferBytes,
                    QObject* receiver, std::unique_ptr<WaveOutDevice>& device) override;
    std::string ErrorText(WaveResult code) const override;
    std::vector<std::string> DeviceNames() const override { return descriptions_; }
    const std::vector<std::string>& PcmNames() const { return pcmNames_; }

private:
    std::vector<std::string> pcmNames_;
    std::vector<std::string> descriptions_;
};

// The buffering an opened ALSA device settled on, in frames.
struct AlsaBuffering {
    unsigned long BufferFrames = 0;
    unsigned long PeriodFrames = 0;
    bool CanPause = false;
};

// False when device was not opened by AlsaWaveOut.
bool AlsaBufferingOf(const WaveOutDevice& device, AlsaBuffering& out);

}  // namespace orv
