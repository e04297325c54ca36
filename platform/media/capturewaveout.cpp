#include "platform/media/capturewaveout.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <thread>

namespace media {

// One open recording device. Its thread reports the buffers that PlayOut finished.
class CaptureWaveOutDevice final : public WaveOutDevice {
public:
    CaptureWaveOutDevice(CaptureWaveOutDriver& driver, const WAVEFORMATEX& format,
                         WaveOutSink& sink)
        : driver_(driver), format_(format), sink_(sink), thread_([this] { Run(); }) {}

    ~CaptureWaveOutDevice() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            finishing_.clear();
        }
        wake_.notify_all();
        idle_.notify_all();
        thread_.join();
        driver_.Forget(this);
        driver_.Record({CaptureWaveOutDriver::EventKind::Close, {}, {}});
    }

    // A buffer is recorded as it will sound: scaled by the volume set when it was written.
    void Play(const std::uint8_t* data, std::size_t length, const void* buffer) override {
        std::vector<std::uint8_t> sounding(data, data + length);
        ScaleSamples(format_, volume_, sounding.data(), sounding.size());
        driver_.Record({CaptureWaveOutDriver::EventKind::Write, std::move(sounding), {}});
        std::lock_guard lock(mutex_);
        playing_.push_back(buffer);
    }

    void Reset() override {
        {
            std::unique_lock lock(mutex_);
            playing_.clear();
            finishing_.clear();
            paused_ = false;
            idle_.notify_all();  // a PlayOut waiting for these buffers is done
            idle_.wait(lock, [this] { return !reporting_; });
        }
        driver_.Record({CaptureWaveOutDriver::EventKind::Reset, {}, {}});
    }

    void Pause() override {
        {
            std::lock_guard lock(mutex_);
            paused_ = true;
        }
        driver_.Record({CaptureWaveOutDriver::EventKind::Pause, {}, {}});
    }

    void Restart() override {
        {
            std::lock_guard lock(mutex_);
            paused_ = false;
        }
        driver_.Record({CaptureWaveOutDriver::EventKind::Restart, {}, {}});
    }

    // Play and SetVolume come from the same thread, the caller's.
    void SetVolume(std::uint32_t volume) override { volume_ = volume; }

    void PlayOut() {
        std::unique_lock lock(mutex_);
        if (paused_) return;
        finishing_.insert(finishing_.end(), playing_.begin(), playing_.end());
        playing_.clear();
        wake_.notify_all();
        idle_.wait(lock, [this] { return finishing_.empty() && !reporting_; });
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !finishing_.empty(); });
            if (stopping_) return;
            const void* buffer = finishing_.front();
            finishing_.pop_front();
            reporting_ = true;
            lock.unlock();
            sink_.BufferDone(buffer);
            lock.lock();
            reporting_ = false;
            idle_.notify_all();
        }
    }

    CaptureWaveOutDriver& driver_;
    const WAVEFORMATEX format_;
    std::uint32_t volume_ = FullVolume;
    WaveOutSink& sink_;
    std::mutex mutex_;
    std::condition_variable wake_;       // work for the thread
    std::condition_variable idle_;       // the thread finished reporting
    std::deque<const void*> playing_;    // written, still sounding
    std::deque<const void*> finishing_;  // played out, completion not yet reported
    bool paused_ = false;
    bool reporting_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above exists
};

CaptureWaveOutDriver::~CaptureWaveOutDriver() = default;

std::unique_ptr<WaveOutDevice> CaptureWaveOutDriver::Open(const WAVEFORMATEX& format,
                                                          WaveOutSink& sink) {
    {
        std::lock_guard lock(mutex_);
        if (!available_) return nullptr;
    }
    auto device = std::make_unique<CaptureWaveOutDevice>(*this, format, sink);
    std::lock_guard lock(mutex_);
    devices_.push_back(device.get());
    events_.push_back({EventKind::Open, {}, format});
    return device;
}

void CaptureWaveOutDriver::SetAvailable(bool available) {
    std::lock_guard lock(mutex_);
    available_ = available;
}

std::vector<CaptureWaveOutDriver::Event> CaptureWaveOutDriver::Events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<CaptureWaveOutDriver::EventKind> CaptureWaveOutDriver::Kinds() const {
    std::lock_guard lock(mutex_);
    std::vector<EventKind> kinds;
    for (const Event& e : events_)
        kinds.push_back(e.kind);
    return kinds;
}

std::vector<std::vector<std::uint8_t>> CaptureWaveOutDriver::Writes() const {
    std::lock_guard lock(mutex_);
    std::vector<std::vector<std::uint8_t>> writes;
    for (const Event& e : events_) {
        if (e.kind == EventKind::Write) writes.push_back(e.data);
    }
    return writes;
}

void CaptureWaveOutDriver::ClearEvents() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

int CaptureWaveOutDriver::OpenDevices() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(devices_.size());
}

void CaptureWaveOutDriver::PlayOut() {
    std::lock_guard lock(mutex_);
    for (CaptureWaveOutDevice* device : devices_)
        device->PlayOut();
}

void CaptureWaveOutDriver::Record(Event event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
}

void CaptureWaveOutDriver::Forget(CaptureWaveOutDevice* device) {
    std::lock_guard lock(mutex_);
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

}  // namespace media
