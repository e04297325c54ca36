// CAudioPlayer plays one phrase clip at a time. It takes the clip over, works out the PCM
// format from the first frame header, decodes the frames of a range into one PCM buffer (the
// first quarter when the range is cued, the rest at the first Play) and hands that buffer to
// the wave-out device in a single write. Everything runs on the caller's thread; the device's
// completion callback does nothing. The decoder is a single instance: one player at a time
// may hold a cued range. With slower speech on, each Play writes the range stretched in time
// to 70 % speed with its pitch kept; the volume applies to every device it opens.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio/mpeg/frame.h"
#include "platform/media/globalmemory.h"
#include "platform/media/waveout.h"

class CAudioPlayer {
public:
    enum State : std::int32_t { Closed = 0, Ready = 1, Playing = 2, Paused = 3 };

    // Most frames one buffer holds and one playback covers.
    static constexpr std::uint32_t FramesPerBuffer = 300;
    // The end of range the main window cues; clamped to the clip's duration.
    static constexpr std::uint32_t DefaultRangeEnd = 400000;
    // The tempo of slower speech.
    static constexpr double SlowTempo = 0.7;

    // Results.
    static constexpr std::int32_t Done = 0;
    static constexpr std::int32_t Unplayable = 2;  // Open: no usable payload or first frame
    static constexpr std::int32_t NoMemory = 3;    // Open: a PCM buffer cannot be allocated
    static constexpr std::int32_t WrongState = 4;  // Pause, Resume

    // Plays through devices of driver (the application's: ui::Application::GetWaveOutDriver),
    // which outlives the player.
    explicit CAudioPlayer(media::WaveOutDriver& driver);
    ~CAudioPlayer();
    CAudioPlayer(const CAudioPlayer&) = delete;
    CAudioPlayer& operator=(const CAudioPlayer&) = delete;

    // Only when Closed: takes the clip (the whole image of an audio file) over, opens the
    // device at its PCM format and becomes Ready. Unplayable (player stays Closed, no device)
    // for a RIFF file of unknown layout or a first frame header the decoder rejects. When not
    // Closed it returns Done and leaves clip with the caller.
    std::int32_t Open(std::vector<std::uint8_t>&& clip);
    // Only when Ready: fixes the range (milliseconds; clamped to the clip) and decodes the
    // first quarter of its frames.
    std::int32_t Cue(std::uint32_t start, std::uint32_t end);
    // Unless Closed: stops, decodes the rest of the range (once per Cue) and writes the buffer
    // from the range's start to the device.
    std::int32_t Play();
    // Play, with more PCM in the player's format (whole blocks) written right after the range,
    // in the same write: the range and what follows sound as one.
    std::int32_t PlayFollowedBy(std::span<const std::uint8_t> after);
    // When Playing or Paused: cuts the sound off; Ready.
    std::int32_t Stop();
    std::int32_t Pause();
    std::int32_t Resume();
    // Stops, closes the device, frees the clip and the buffers; Closed.
    std::int32_t Close();

    // Slower speech for every Play from now on (a sound already playing goes on as it is).
    void SetSlowSpeech(bool slow);
    bool SlowSpeech() const { return slow_; }
    // The volume, as waveOutSetVolume takes it, for the open device (heard at once, also in a
    // sound already playing) and every later one.
    void SetVolume(std::uint32_t volume);
    std::uint32_t Volume() const { return volume_; }

    State GetState() const { return state_; }
    const media::WAVEFORMATEX& WaveFormat() const { return waveFormat_; }
    std::uint32_t FramesInBuffer() const { return framesInBuffer_; }
    std::uint32_t RangeStart() const { return rangeStart_; }
    std::uint32_t RangeEnd() const { return rangeEnd_; }
    std::uint32_t PayloadOffset() const { return payloadOffset_; }
    std::uint32_t PayloadLength() const { return payloadLength_; }
    // Milliseconds, from the payload length and the first header's bit rate.
    std::uint32_t Duration() const;
    // Frames of the current range handed to the decoder since the range was cued.
    std::uint32_t FramesDecoded() const { return framesDecoded_; }
    // The PCM buffer of the range as decoded (empty when Closed).
    std::span<const std::uint8_t> Buffer() const;

private:
    std::uint32_t FrameIndex(std::uint32_t ms) const;
    std::uint32_t FrameLength() const;
    bool ParseAt(std::uint32_t offset);
    void DecodeFrames(std::uint32_t first, std::uint32_t end);
    std::uint32_t StartSkipBytes() const;
    void Clear();

    static void WaveOutCallback(media::HWAVEOUT device, std::uint32_t message,
                                std::uintptr_t instance, std::uintptr_t param1,
                                std::uintptr_t param2);

    media::WaveOutDriver& driver_;

    bool decodedAll_ = false;  // the rest of the range has been decoded
    State state_ = Closed;
    std::uint8_t currentSlot_ = 0;
    std::uint32_t framesInBuffer_ = FramesPerBuffer;
    std::vector<std::uint8_t> clip_;
    std::uint32_t payloadOffset_ = 0;
    std::uint32_t readOffset_ = 0;  // from the payload to the next frame to decode
    media::WaveOutHandle device_;
    media::WAVEFORMATEX waveFormat_{};
    mpeg::FrameJob jobs_[2]{};
    mpeg::FrameInfo streamInfo_{};  // the most recently parsed frame header
    media::WAVEHDR headers_[2]{};
    media::GlobalMemory pcm_[2];
    std::uint32_t payloadLength_ = 0;
    std::uint32_t rangeStart_ = 0;
    std::uint32_t rangeEnd_ = 0;
    // From the first header, by the player's own table.
    std::uint16_t versionRow_ = 0;
    std::uint16_t bitRateKbps_ = 0;
    std::uint16_t sampleRate_ = 0;
    std::uint16_t channels_ = 0;
    std::uint16_t nominalFrameLength_ = 0;

    // Fixed at Open: PCM bytes of one decoded frame and the milliseconds it lasts.
    std::uint32_t pcmBytesPerFrame_ = 0;
    float frameDuration_ = 0;
    bool cued_ = false;          // a range has been cued since Open
    bool decoderFresh_ = false;  // nothing decoded since the decoder was started
    std::uint32_t framesDecoded_ = 0;

    // Kept across clips.
    bool slow_ = false;
    std::uint32_t volume_ = media::FullVolume;
    // The range at the slow tempo, made at the first slow Play after a Cue; the device may be
    // reading it until the next Stop.
    std::vector<std::uint8_t> stretched_;
    bool stretchedFresh_ = false;
    // The range and what PlayFollowedBy put after it; read by the device until the next Stop.
    std::vector<std::uint8_t> followed_;
};
