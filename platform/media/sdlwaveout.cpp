#include "platform/media/sdlwaveout.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <deque>

namespace media {

std::uint16_t DeviceBufferFrames(std::uint32_t rate) {
    const std::uint32_t within = rate * 24 / 1000;
    std::uint32_t frames = 64;
    while (frames * 2 <= within && frames < 4096)
        frames *= 2;
    return static_cast<std::uint16_t>(frames);
}

// One SDL output at one format. SDL's audio thread pulls queued buffers through Fill; the
// queue and the sink are touched only under SDL's lock of the output.
class SdlAudioStream {
public:
    explicit SdlAudioStream(const WAVEFORMATEX& format) : format_(format) {}

    ~SdlAudioStream() {
        if (id_ != 0) SDL_CloseAudioDevice(id_);  // waits for the audio thread
    }

    bool Start() {
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format_.nSamplesPerSec);
        want.format = format_.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        want.channels = static_cast<Uint8>(format_.nChannels);
        want.samples = DeviceBufferFrames(format_.nSamplesPerSec);
        want.callback = &SdlAudioStream::Fill;
        want.userdata = this;
        SDL_AudioSpec have{};
        id_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        return id_ != 0;
    }

    bool Plays(const WAVEFORMATEX& format) const {
        return format.nSamplesPerSec == format_.nSamplesPerSec &&
               format.nChannels == format_.nChannels &&
               format.wBitsPerSample == format_.wBitsPerSample;
    }

    // Reports finished buffers to sink (null: to nobody); running unless paused.
    void Attach(WaveOutSink* sink) {
        SDL_LockAudioDevice(id_);
        queue_.clear();
        sink_ = sink;
        volume_ = FullVolume;
        SDL_UnlockAudioDevice(id_);
        SDL_PauseAudioDevice(id_, sink == nullptr ? 1 : 0);
    }

    void Play(const std::uint8_t* data, std::size_t length, const void* buffer) {
        SDL_LockAudioDevice(id_);
        queue_.push_back({data, length, 0, buffer});
        SDL_UnlockAudioDevice(id_);
    }

    void Reset() {
        SDL_LockAudioDevice(id_);  // waits for a running callback
        queue_.clear();
        SDL_UnlockAudioDevice(id_);
        SDL_PauseAudioDevice(id_, 0);
    }

    void Pause(bool paused) { SDL_PauseAudioDevice(id_, paused ? 1 : 0); }

    // Applies to the next chunk SDL asks for, so a change is heard at once.
    void SetVolume(std::uint32_t volume) {
        SDL_LockAudioDevice(id_);
        volume_ = volume;
        SDL_UnlockAudioDevice(id_);
    }

private:
    struct Pending {
        const std::uint8_t* data;
        std::size_t length;
        std::size_t played;
        const void* buffer;
    };

    static void SDLCALL Fill(void* self, Uint8* stream, int length) {
        static_cast<SdlAudioStream*>(self)->Fill(stream, static_cast<std::size_t>(length));
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
                if (sink_ != nullptr) sink_->BufferDone(buffer);
            }
        }
        ScaleSamples(format_, volume_, stream, at);  // SDL's chunks start at a sample frame
        std::memset(stream + at, format_.wBitsPerSample == 8 ? 0x80 : 0, length - at);
    }

    WAVEFORMATEX format_;
    SDL_AudioDeviceID id_ = 0;
    WaveOutSink* sink_ = nullptr;
    std::deque<Pending> queue_;
    std::uint32_t volume_ = FullVolume;
};

namespace {

// A device over a stream it gives back to the driver when closed.
class SdlWaveOutDevice final : public WaveOutDevice {
public:
    SdlWaveOutDevice(SdlWaveOutDriver& driver, std::unique_ptr<SdlAudioStream> stream)
        : driver_(driver), stream_(std::move(stream)) {}

    ~SdlWaveOutDevice() override {
        stream_->Attach(nullptr);
        driver_.Keep(std::move(stream_));
    }

    void Play(const std::uint8_t* data, std::size_t length, const void* buffer) override {
        stream_->Play(data, length, buffer);
    }
    void Reset() override { stream_->Reset(); }
    void Pause() override { stream_->Pause(true); }
    void Restart() override { stream_->Pause(false); }
    void SetVolume(std::uint32_t volume) override { stream_->SetVolume(volume); }

private:
    SdlWaveOutDriver& driver_;
    std::unique_ptr<SdlAudioStream> stream_;
};

}  // namespace

SdlWaveOutDriver::SdlWaveOutDriver() : initialised_(SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {}

SdlWaveOutDriver::~SdlWaveOutDriver() {
    idle_.reset();
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<WaveOutDevice> SdlWaveOutDriver::Open(const WAVEFORMATEX& format,
                                                      WaveOutSink& sink) {
    if (!initialised_) return nullptr;
    std::unique_ptr<SdlAudioStream> stream;
    {
        std::lock_guard lock(mutex_);
        stream = std::move(idle_);
    }
    // An output of another format goes first: some systems offer one output at a time.
    if (stream && !stream->Plays(format)) stream.reset();
    if (!stream) {
        stream = std::make_unique<SdlAudioStream>(format);
        if (!stream->Start()) return nullptr;
    }
    stream->Attach(&sink);
    return std::make_unique<SdlWaveOutDevice>(*this, std::move(stream));
}

void SdlWaveOutDriver::Keep(std::unique_ptr<SdlAudioStream> stream) {
    std::unique_ptr<SdlAudioStream> replaced;
    std::lock_guard lock(mutex_);
    replaced = std::move(idle_);
    idle_ = std::move(stream);
}

}  // namespace media
