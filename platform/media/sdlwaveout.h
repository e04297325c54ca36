// The real output device: SDL audio, opened on its own (no window needed) at the buffer's PCM
// format. With no sound server or audio hardware, opening fails quietly (null device).
#pragma once

#include "platform/media/waveoutdevice.h"

namespace media {

class SdlWaveOutDriver final : public WaveOutDriver {
public:
    // Each device holds SDL's audio subsystem (reference-counted by SDL) for its lifetime;
    // completions are reported on SDL's audio thread.
    std::unique_ptr<WaveOutDevice> Open(const WAVEFORMATEX& format, WaveOutSink& sink) override;
};

// The program's driver. It holds no state of its own.
WaveOutDriver& SystemWaveOutDriver();

}  // namespace media
