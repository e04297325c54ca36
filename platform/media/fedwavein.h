// A capture device for tests: it hears what the test feeds it. Fed bytes reach each open,
// started device from a thread of the device, as a real device's would, and Feed returns once
// they have been delivered; a device that is not started hears nothing. Unplug makes the open
// devices go away as a vanishing microphone does.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/media/waveindevice.h"

namespace media {

class FedWaveInDevice;

class FedWaveInDriver final : public WaveInDriver {
public:
    FedWaveInDriver() = default;
    ~FedWaveInDriver() override;  // every device it opened must be closed by then
    FedWaveInDriver(const FedWaveInDriver&) = delete;
    FedWaveInDriver& operator=(const FedWaveInDriver&) = delete;

    std::unique_ptr<WaveInDevice> Open(const WAVEFORMATEX& format, WaveInSink& sink) override;

    // With false, Open finds no device (as on a machine without a microphone).
    void SetAvailable(bool available);
    // Delivers bytes to every started device in chunks of at most chunk bytes; the number of
    // devices that heard them.
    int Feed(const std::vector<std::uint8_t>& bytes, std::size_t chunk = 4096);
    // The same for 16-bit samples.
    int Feed(const std::vector<std::int16_t>& samples, std::size_t chunk = 4096);
    // Every open device goes away.
    void Unplug();
    int OpenDevices() const;
    // The devices opened so far, closed ones too.
    int Opens() const;

private:
    friend class FedWaveInDevice;
    void Forget(FedWaveInDevice* device);

    mutable std::mutex mutex_;
    bool available_ = true;
    int opens_ = 0;
    std::vector<FedWaveInDevice*> devices_;
};

}  // namespace media
