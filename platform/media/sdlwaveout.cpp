#include "platform/media/sdlwaveout.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>

namespace media {
namespace {

// Sample frames SDL asks for at a time: short enough that a sound starts promptly.
constexpr Uint16 CallbackFrames = 1024;

// Plays queued buffers from SDL's audio callback, which runs on SDL's audio thread; the
// queue is touched only under SDL's lock of the device.
class SdlWaveOutDevice final : public WaveOutDevice {
public:
    SdlWaveOutDevice(WaveOutSink& sink, int silence) : sink_(sink), silence_(silence) {}

    ~SdlWaveOutDevice() override {
        if (id_ != 0) SDL_CloseAudioDevice(id_);  // waits for the audio thread
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Start(const WAVEFORMATEX& format) {
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format.nSamplesPerSec);
        want.format = format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        want.channels = static_cast<Uint8>(format.nChannels);
        want.samples = CallbackFrames;
        want.callback = &SdlWaveOutDevice::Fill;
        want.userdata = this;
        SDL_AudioSpec have{};
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (id_ == 0) return false;
        SDL_PauseAudioDevice(id_, 0);
        return true;
    }

    void Play(const std::uint8_t* data, std::size_t length, const void* buffer) override {
        SDL_LockAudioDevice(id_);
        queue_.push_back({data, length, 0, buffer});
        SDL_UnlockAudioDevice(id_);
    }

    void Reset() override {
        SDL_LockAudioDevice(id_);  // waits for a running callback
        queue_.clear();
        SDL_UnlockAudioDevice(id_);
        SDL_PauseAudioDevice(id_, 0);
    }

    void Pause() override { SDL_PauseAudioDevice(id_, 1); }
    void Restart() override { SDL_PauseAudioDevice(id_, 0); }

private:
    struct Pending {
        const std::uint8_t* data;
        std::size_t length;
        std::size_t played;
        const void* buffer;
    };

    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        static_cast<SdlWaveOutDevice*>(self)->Fill(stream, static_cast<std::size_t>(length));
    }

    void Fill(Uint8* stream, std::size_t length) {
        std::size_t at = 0;
        while (!queue_.empty() && at < length) {
            Pending& p = queue_.front();
            std::size_t n = std::min(length - at, p.length - p.played);
            std::memcpy(stream + at, p.data + p.played, n);
            at += n;
            p.played += n;
            if (p.played == p.length) {
                const void* buffer = p.buffer;
                queue_.pop_front();
                sink_.BufferDone(buffer);
            }
        }
        std::memset(stream + at, silence_, length - at);
    }

    WaveOutSink& sink_;
    int silence_;
    SDL_AudioDeviceID id_ = 0;
    std::deque<Pending> queue_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> SdlWaveOutDriver::Open(const WAVEFORMATEX& format,
                                                      WaveOutSink& sink) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    // From here the device's destructor gives the subsystem back.
    auto device = std::make_unique<SdlWaveOutDevice>(sink, format.wBitsPerSample == 8 ? 0x80 : 0);
    if (!device->Start(format)) return nullptr;
    return device;
}

WaveOutDriver& SystemWaveOutDriver() {
    static SdlWaveOutDriver driver;
    return driver;
}

}  // namespace media
