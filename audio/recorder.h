// CRecorder takes one spoken attempt from the default capture device: 16-bit mono PCM at
// 16 kHz, kept in memory only. A take ends when the caller stops it, when the silence
// detector hears the attempt is over, when six seconds have passed, or when the device goes
// away. The device hands filled buffers back on its own thread; the caller collects them on
// its thread with Poll, a few times a second or more often.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "audio/silencedetector.h"
#include "platform/media/wavein.h"

namespace audio {

class CRecorder {
public:
    static constexpr std::uint32_t SampleRate = 16000;
    // Short buffers, so that what is heard reaches Poll soon after it was said, and a second
    // of them, so that nothing is lost while the caller is busy.
    static constexpr std::uint32_t BufferMs = 20;
    static constexpr std::uint32_t BufferCount = 50;

    enum class Start { Recording, NoMicrophone };
    enum class State { Idle, Recording, Finished };

    // Records through devices of driver, which outlives the recorder.
    explicit CRecorder(media::WaveInDriver& driver);
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    // Drops any earlier take and starts a new one; NoMicrophone when no device opens.
    Start Begin();
    // Collects what the device has handed back; Finished once the take is over (the device
    // is closed by then).
    State Poll();
    // Ends the take now, keeping what was heard; Finished (Idle when none was running).
    State End();
    // Ends the take and forgets it; Idle.
    void Cancel();

    State GetState() const { return state_; }
    // The take's samples, up to where the detector ended it.
    std::span<const std::int16_t> Samples() const { return samples_; }
    // The device went away during the take.
    bool DeviceLost() const { return lost_; }
    static media::WAVEFORMATEX Format();

private:
    static void Callback(media::HWAVEIN device, std::uint32_t message, std::uintptr_t instance,
                         std::uintptr_t param1, std::uintptr_t param2);
    // Moves the handed-back buffers' samples into the take; requeues them while recording.
    void Collect(bool requeue);
    void Finish();

    media::WaveInDriver& driver_;
    media::WaveInHandle device_;
    std::vector<std::int16_t> buffers_[BufferCount];
    media::WAVEHDR headers_[BufferCount]{};
    std::mutex mutex_;                         // guards handedBack_
    std::vector<media::WAVEHDR*> handedBack_;  // in the order the device gave them back
    std::vector<std::int16_t> samples_;
    SilenceDetector detector_{SampleRate};
    State state_ = State::Idle;
    bool lost_ = false;
};

}  // namespace audio
