#include "platform/media/fedwavein.h"

#include <algorithm>
#include <thread>

namespace media {

class FedWaveInDevice final : public WaveInDevice {
public:
    FedWaveInDevice(FedWaveInDriver& driver, WaveInSink& sink) : driver_(driver), sink_(sink) {}
    ~FedWaveInDevice() override { driver_.Forget(this); }

    void Start() override {
        std::lock_guard lock(mutex_);
        started_ = !lost_;
    }
    void Stop() override {
        std::lock_guard lock(mutex_);
        started_ = false;
    }

    // On a thread of the device; the caller holds the driver's lock, so the device stays.
    bool Deliver(const std::uint8_t* data, std::size_t length, std::size_t chunk) {
        {
            std::lock_guard lock(mutex_);
            if (!started_) return false;
        }
        std::thread([&] {
            for (std::size_t at = 0; at < length; at += chunk)
                sink_.Captured(data + at, std::min(chunk, length - at));
        }).join();
        return true;
    }

    void Unplug() {
        {
            std::lock_guard lock(mutex_);
            if (lost_) return;
            lost_ = true;
            started_ = false;
        }
        std::thread([this] { sink_.Lost(); }).join();
    }

private:
    FedWaveInDriver& driver_;
    WaveInSink& sink_;
    std::mutex mutex_;
    bool started_ = false;
    bool lost_ = false;
};

FedWaveInDriver::~FedWaveInDriver() = default;

std::unique_ptr<WaveInDevice> FedWaveInDriver::Open(const WAVEFORMATEX&, WaveInSink& sink) {
    std::lock_guard lock(mutex_);
    if (!available_) return nullptr;
    auto device = std::make_unique<FedWaveInDevice>(*this, sink);
    devices_.push_back(device.get());
    ++opens_;
    return device;
}

void FedWaveInDriver::SetAvailable(bool available) {
    std::lock_guard lock(mutex_);
    available_ = available;
}

int FedWaveInDriver::Feed(const std::vector<std::uint8_t>& bytes, std::size_t chunk) {
    std::lock_guard lock(mutex_);
    int heard = 0;
    for (FedWaveInDevice* device : devices_)
        heard += device->Deliver(bytes.data(), bytes.size(), std::max<std::size_t>(chunk, 1));
    return heard;
}

int FedWaveInDriver::Feed(const std::vector<std::int16_t>& samples, std::size_t chunk) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(samples.size() * 2);
    for (std::int16_t s : samples) {
        const auto u = static_cast<std::uint16_t>(s);
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return Feed(bytes, chunk);
}

void FedWaveInDriver::Unplug() {
    std::lock_guard lock(mutex_);
    for (FedWaveInDevice* device : devices_)
        device->Unplug();
}

int FedWaveInDriver::OpenDevices() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(devices_.size());
}

int FedWaveInDriver::Opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

void FedWaveInDriver::Forget(FedWaveInDevice* device) {
    std::lock_guard lock(mutex_);
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

}  // namespace media
