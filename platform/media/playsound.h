// PlaySound with its Windows flags: a wave sound (a RIFF WAVE file of PCM samples, named by a
// file or by a resource of a bundle) played through the wave-out device. A sound player plays
// one sound at a time: a new sound cuts off the one that plays, unless SND_NOSTOP says to leave
// it. Opening the device never blocks here, so SND_NOWAIT changes nothing. When the sound cannot be
// found or read nothing plays (there is no default sound here) and the call answers false.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/waveout.h"
#include "platform/shell/resources.h"

namespace media {

inline constexpr std::uint32_t SND_SYNC = 0x0000;
inline constexpr std::uint32_t SND_ASYNC = 0x0001;
inline constexpr std::uint32_t SND_NODEFAULT = 0x0002;
inline constexpr std::uint32_t SND_MEMORY = 0x0004;
inline constexpr std::uint32_t SND_LOOP = 0x0008;
inline constexpr std::uint32_t SND_NOSTOP = 0x0010;
inline constexpr std::uint32_t SND_PURGE = 0x0040;
inline constexpr std::uint32_t SND_NOWAIT = 0x2000;
inline constexpr std::uint32_t SND_FILENAME = 0x00020000;
inline constexpr std::uint32_t SND_RESOURCE = 0x00040004;

// A resource number in place of a sound's name (SND_RESOURCE), as on Windows.
inline const char16_t* MAKEINTRESOURCE(int id) {
    return reinterpret_cast<const char16_t*>(static_cast<std::uintptr_t>(id & 0xFFFF));
}
inline bool IS_INTRESOURCE(const char16_t* name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

// The PCM format and samples of a RIFF WAVE file; false when the bytes are not a playable PCM
// wave (chunks are read within the bytes given, however their sizes read).
struct WaveSound {
    WAVEFORMATEX format{};
    std::vector<std::uint8_t> samples;
};
bool ParseWave(const std::uint8_t* data, std::size_t size, WaveSound& out);

// Owns the device of the sound that plays; closing it (or destroying the player) cuts the
// sound off.
class SoundPlayer {
public:
    explicit SoundPlayer(WaveOutDriver& driver);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // name: a file name (SND_FILENAME), a resource number or name of `module` (SND_RESOURCE),
    // or null to stop the sound that plays. SND_ASYNC returns at once; otherwise the call
    // returns once the sound has been handed over whole (the device plays it to its end).
    bool PlaySound(const char16_t* name, const shell::ResourceBundle* module, std::uint32_t flags);
    // True while a sound is handed to the device and not yet done.
    bool IsPlaying() const;
    void Stop();

private:
    struct State;
    WaveOutDriver& driver_;
    std::unique_ptr<State> state_;
};

bool PlaySound(SoundPlayer& player, const char16_t* name, const shell::ResourceBundle* module,
               std::uint32_t flags);

}  // namespace media
