#include "platform/media/playsound.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

namespace media {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The bytes of a file named in UTF-16 (converted to UTF-8 for the file system).
bool ReadFile(const char16_t* name, std::vector<std::uint8_t>& out) {
    std::string path;
    for (const char16_t* p = name; *p != 0; ++p) {
        char32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (c < 0x80) {
            path += static_cast<char>(c);
        } else if (c < 0x800) {
            path += static_cast<char>(0xC0 | (c >> 6));
            path += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            path += static_cast<char>(0xE0 | (c >> 12));
            path += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            path += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            path += static_cast<char>(0xF0 | (c >> 18));
            path += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            path += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            path += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    if (path.empty()) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

bool ParseWave(const std::uint8_t* data, std::size_t size, WaveSound& out) {
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    WAVEFORMATEX format{};
    std::size_t at = 12;
    while (size - at >= 8) {
        const std::uint8_t* chunk = data + at;
        const std::size_t length = std::min<std::size_t>(Le32(chunk + 4), size - at - 8);
        const std::uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
            format.wFormatTag = Le16(body);
            format.nChannels = Le16(body + 2);
            format.nSamplesPerSec = Le32(body + 4);
            format.nAvgBytesPerSec = Le32(body + 8);
            format.nBlockAlign = Le16(body + 12);
            format.wBitsPerSample = Le16(body + 14);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            if (format.wFormatTag != WAVE_FORMAT_PCM || !IsPlayablePcm(format)) return false;
            const std::size_t whole = length - length % format.nBlockAlign;
            out.format = format;
            out.samples.assign(body, body + whole);
            return !out.samples.empty();
        }
        at += 8 + length + (length & 1);
        if (at > size) break;
    }
    return false;
}

struct SoundPlayer::State {
    WaveOutHandle device;
    WAVEHDR header{};
    std::vector<std::uint8_t> samples;
    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = true;

    static void Callback(HWAVEOUT, std::uint32_t message, std::uintptr_t instance, std::uintptr_t,
                         std::uintptr_t) {
        if (message != WOM_DONE) return;
        auto* self = reinterpret_cast<State*>(instance);
        {
            std::lock_guard lock(self->mutex);
            self->done = true;
        }
        self->doneSignal.notify_all();
    }
};

SoundPlayer::SoundPlayer(WaveOutDriver& driver) : driver_(driver) {}

SoundPlayer::~SoundPlayer() {
    Stop();
}

bool SoundPlayer::IsPlaying() const {
    if (!state_) return false;
    std::lock_guard lock(state_->mutex);
    return !state_->done;
}

void SoundPlayer::Stop() {
    if (!state_) return;
    if (state_->device.get() != nullptr) {
        waveOutReset(state_->device.get());
        waveOutUnprepareHeader(state_->device.get(), &state_->header, sizeof(WAVEHDR));
        state_->device.Close();
    }
    state_.reset();
}

bool SoundPlayer::PlaySound(const char16_t* name, const shell::ResourceBundle* module,
                            std::uint32_t flags) {
    if (name == nullptr || (flags & SND_PURGE) != 0) {
        Stop();
        return true;
    }
    if ((flags & SND_NOSTOP) != 0 && IsPlaying()) return false;

    std::vector<std::uint8_t> bytes;
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        if (module == nullptr || !IS_INTRESOURCE(name)) return false;
        const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
        const shell::Resource* r = module->Find(shell::ResourceType::Wave, id);
        if (r == nullptr || r->data == nullptr) return false;
        const auto* p = static_cast<const std::uint8_t*>(r->data);
        bytes.assign(p, p + r->size);
    } else if ((flags & SND_FILENAME) != 0) {
        if (IS_INTRESOURCE(name) || !ReadFile(name, bytes)) return false;
    } else {
        return false;  // sounds named by the system's sound events do not exist here
    }
    WaveSound sound;
    if (!ParseWave(bytes.data(), bytes.size(), sound)) return false;

    Stop();
    auto state = std::make_unique<State>();
    state->samples = std::move(sound.samples);
    if (waveOutOpen(driver_, state->device.Receive(), WAVE_MAPPER, &sound.format, &State::Callback,
                    reinterpret_cast<std::uintptr_t>(state.get()),
                    CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
        return false;
    state->header.lpData = reinterpret_cast<char*>(state->samples.data());
    state->header.dwBufferLength = static_cast<std::uint32_t>(state->samples.size());
    if (waveOutPrepareHeader(state->device.get(), &state->header, sizeof(WAVEHDR)) !=
        MMSYSERR_NOERROR)
        return false;
    state->done = false;
    if (waveOutWrite(state->device.get(), &state->header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        waveOutUnprepareHeader(state->device.get(), &state->header, sizeof(WAVEHDR));
        return false;
    }
    state_ = std::move(state);
    if ((flags & SND_ASYNC) == 0) {
        // Wait for the sound to end, but never much longer than it lasts.
        const auto length = std::chrono::milliseconds(
            1000 + 1000ull * state_->samples.size() /
                       std::max<std::uint32_t>(sound.format.nAvgBytesPerSec, 1));
        std::unique_lock lock(state_->mutex);
        state_->doneSignal.wait_for(lock, length, [&] { return state_->done; });
    }
    return true;
}

bool PlaySound(SoundPlayer& player, const char16_t* name, const shell::ResourceBundle* module,
               std::uint32_t flags) {
    return player.PlaySound(name, module, flags);
}

}  // namespace media
