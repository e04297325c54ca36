#include "platform/media/sdlwavein.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/media/sdlwaveout.h"

namespace media {
namespace {

// One SDL capture device. SDL's audio thread hands captured chunks to Fill; a watch thread
// asks SDL, a few times a second while started, whether the device still runs.
class SdlWaveInDevice final : public WaveInDevice {
public:
    SdlWaveInDevice(const WAVEFORMATEX& format, WaveInSink& sink) : format_(format), sink_(sink) {}

    ~SdlWaveInDevice() override {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        wake_.notify_all();
        if (watch_.joinable()) watch_.join();
        if (id_ != 0) SDL_CloseAudioDevice(id_);  // waits for the audio thread
    }

    bool Open() {
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format_.nSamplesPerSec);
        want.format = format_.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        want.channels = static_cast<Uint8>(format_.nChannels);
        // Small chunks: the first sample reaches the caller soon after the start.
        want.samples = DeviceBufferFrames(format_.nSamplesPerSec);
        want.callback = &SdlWaveInDevice::Fill;
        want.userdata = this;
        SDL_AudioSpec have{};
        id_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
        if (id_ == 0) return false;
        watch_ = std::thread([this] { Watch(); });
        return true;
    }

    void Start() override {
        {
            std::lock_guard lock(mutex_);
            started_ = true;
        }
        SDL_PauseAudioDevice(id_, 0);
        wake_.notify_all();
    }

    void Stop() override {
        SDL_PauseAudioDevice(id_, 1);
        SDL_LockAudioDevice(id_);  // waits for a running Fill
        SDL_UnlockAudioDevice(id_);
        std::lock_guard lock(mutex_);
        started_ = false;
    }

private:
    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        static_cast<SdlWaveInDevice*>(self)->sink_.Captured(stream,
                                                            static_cast<std::size_t>(length));
    }

    void Watch() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait_for(lock, std::chrono::milliseconds(100));
            if (closing_) return;
            if (!started_ || lost_) continue;
            if (SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED) {
                lost_ = true;
                lock.unlock();
                sink_.Lost();
                lock.lock();
            }
        }
    }

    const WAVEFORMATEX format_;
    WaveInSink& sink_;
    SDL_AudioDeviceID id_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool started_ = false;
    bool lost_ = false;
    bool closing_ = false;
    std::thread watch_;
};

}  // namespace

SdlWaveInDriver::SdlWaveInDriver() : initialised_(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}

SdlWaveInDriver::~SdlWaveInDriver() {
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<WaveInDevice> SdlWaveInDriver::Open(const WAVEFORMATEX& format, WaveInSink& sink) {
    if (!initialised_) return nullptr;
    auto device = std::make_unique<SdlWaveInDevice>(format, sink);
    if (!device->Open()) return nullptr;
    return device;
}

}  // namespace media
