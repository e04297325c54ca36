#include "audio/audioplayer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "audio/clipformat.h"
#include "audio/mpeg/decoder.h"
#include "audio/timestretch.h"

namespace {

constexpr std::uint32_t HeaderSize = sizeof(media::WAVEHDR);
// Samples of one Layer III frame at the MPEG-2 and MPEG-2.5 rates.
constexpr std::uint32_t HalfFrameSamples = 576;

}  // namespace

// The decoder's tables are built once, here; each clip then only needs the decoder's options
// back at their defaults (building the tables costs more than decoding a quarter of a phrase).
CAudioPlayer::CAudioPlayer(media::WaveOutDriver& driver) : driver_(driver) {
    mpeg::DecoderInit();
}

CAudioPlayer::~CAudioPlayer() {
    Close();
}

std::int32_t CAudioPlayer::Open(std::vector<std::uint8_t>&& clip) {
    if (state_ != Closed) return Done;
    clip_ = std::move(clip);
    auto refuse = [this](std::int32_t result) {
        Clear();
        return result;
    };
    // The decoder counts bytes in signed 32-bit lengths.
    if (clip_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return refuse(Unplayable);
    }

    audio::PayloadPlace place =
        audio::LocatePayload(clip_.data(), static_cast<std::uint32_t>(clip_.size()));
    if (!place.found || place.length < 4) return refuse(Unplayable);
    payloadOffset_ = place.offset;
    payloadLength_ = place.length;
    const std::uint8_t* payload = clip_.data() + payloadOffset_;

    audio::PlayerHeader header = audio::ReadPlayerHeader(payload);
    versionRow_ = header.versionRow;
    bitRateKbps_ = header.bitRateKbps;
    sampleRate_ = header.sampleRate;
    channels_ = header.channels;
    nominalFrameLength_ = header.nominalFrameLength;

    mpeg::SetDecodeOptions(mpeg::DecodeOptions{});
    const mpeg::FrameInfo& first = streamInfo_;
    // The decoder must accept the first header, and the player's table must give a bit rate
    // and a sample rate: every later division is by them.
    if (!ParseAt(0) || first.pcmBytesPerFrame <= 0 || bitRateKbps_ == 0 || sampleRate_ == 0 ||
        nominalFrameLength_ == 0 || first.outputBits != 16 || first.outputChannels != channels_) {
        return refuse(Unplayable);
    }

    // MPEG-2.5 lies outside the player's table: the device runs at the rate the decoder
    // really produces, and a frame lasts 576 samples at that rate.
    std::uint32_t rate = sampleRate_;
    frameDuration_ = audio::FrameDurationMs(header.sampleRateIndex);
    if (first.header.version == 3) {
        rate = static_cast<std::uint32_t>(first.sampleRate);
        frameDuration_ = static_cast<float>(HalfFrameSamples * 1000.0 / rate);
    }
    waveFormat_.wFormatTag = media::WAVE_FORMAT_PCM;
    waveFormat_.nChannels = channels_;
    waveFormat_.nSamplesPerSec = rate;
    waveFormat_.nAvgBytesPerSec = rate * channels_ * 2;
    waveFormat_.nBlockAlign = static_cast<std::uint16_t>(channels_ * 2);
    waveFormat_.wBitsPerSample = 16;
    waveFormat_.cbSize = 0;
    pcmBytesPerFrame_ = static_cast<std::uint32_t>(first.pcmBytesPerFrame);

    if (!mpeg::DecoderStart(payload, static_cast<std::int32_t>(payloadLength_))) {
        return refuse(Unplayable);
    }
    decoderFresh_ = true;

    std::size_t bufferBytes = std::size_t{pcmBytesPerFrame_} * FramesPerBuffer;
    for (media::GlobalMemory& buffer : pcm_) {
        buffer.reset(static_cast<std::uint8_t*>(media::GlobalAlloc(media::GPTR, bufferBytes)));
        if (!buffer) return refuse(NoMemory);
    }

    // Without a device the player works on and stays silent.
    media::waveOutOpen(driver_, device_.Receive(), media::WAVE_MAPPER, &waveFormat_,
                       &CAudioPlayer::WaveOutCallback, reinterpret_cast<std::uintptr_t>(this),
                       media::CALLBACK_FUNCTION);
    if (device_.get() != nullptr) media::waveOutSetVolume(device_.get(), volume_);
    state_ = Ready;
    return Done;
}

std::int32_t CAudioPlayer::Cue(std::uint32_t start, std::uint32_t end) {
    if (state_ != Ready) return Done;
    currentSlot_ = 0;
    readOffset_ = 0;

    std::uint32_t duration = Duration();
    if (start > end) {
        start = 0;
        end = duration;
    }
    if (start == 0 && end == 0) {
        std::uint32_t whole = payloadLength_ / nominalFrameLength_ * nominalFrameLength_;
        end = whole / bitRateKbps_ * 8;
    }
    if (duration < start) start = 0;
    if (duration < end) end = duration;
    rangeStart_ = start;
    rangeEnd_ = end;
    std::uint32_t frames = FrameIndex(end) - FrameIndex(start) + 1;
    framesInBuffer_ = std::min(frames, FramesPerBuffer);
    jobs_[0] = mpeg::FrameJob{};

    // Each range is decoded from a fresh decoder, as if it were the start of the stream.
    if (!decoderFresh_) {
        mpeg::DecoderStart(clip_.data() + payloadOffset_,
                           static_cast<std::int32_t>(payloadLength_));
        ParseAt(0);
        decoderFresh_ = true;
    }

    // Walk to the range's first frame, header by header.
    std::uint32_t first = FrameIndex(start);
    for (std::uint32_t k = 0; k < first; ++k) {
        ParseAt(readOffset_);
        readOffset_ += FrameLength();
    }

    framesDecoded_ = 0;
    DecodeFrames(0, framesInBuffer_ / 4);
    decodedAll_ = false;
    stretchedFresh_ = false;
    cued_ = true;
    return Done;
}

std::int32_t CAudioPlayer::Play() {
    return PlayFollowedBy({});
}

std::int32_t CAudioPlayer::PlayFollowedBy(std::span<const std::uint8_t> after) {
    if (state_ == Closed) return Done;
    if (state_ == Playing || state_ == Paused) Stop();
    if (!cued_) Cue(0, DefaultRangeEnd);
    if (!decodedAll_) {
        DecodeFrames(framesInBuffer_ / 4, framesInBuffer_);
        decodedAll_ = true;
    }
    state_ = Playing;

    media::WAVEHDR& header = headers_[currentSlot_];
    header = media::WAVEHDR{};
    std::uint32_t skip = StartSkipBytes();
    header.lpData = reinterpret_cast<char*>(pcm_[currentSlot_].get() + skip);
    header.dwBufferLength = pcmBytesPerFrame_ * framesInBuffer_ - skip;
    if (slow_) {
        // Stopped above: the device no longer reads the stretched buffer, so it may be remade.
        if (!stretchedFresh_) {
            audio::TimeStretch stretch(waveFormat_.nSamplesPerSec, waveFormat_.nChannels,
                                       SlowTempo);
            stretched_ = stretch.Stretch(
                {reinterpret_cast<const std::uint8_t*>(header.lpData), header.dwBufferLength});
            stretchedFresh_ = true;
        }
        header.lpData = reinterpret_cast<char*>(stretched_.data());
        header.dwBufferLength = static_cast<std::uint32_t>(stretched_.size());
    }
    const std::size_t block = std::max<std::size_t>(1, waveFormat_.nBlockAlign);
    after = after.first(after.size() / block * block);
    if (!after.empty()) {
        // Stopped above, so the device no longer reads the buffer being remade.
        const auto* range = reinterpret_cast<const std::uint8_t*>(header.lpData);
        followed_.assign(range, range + header.dwBufferLength);
        followed_.insert(followed_.end(), after.begin(), after.end());
        header.lpData = reinterpret_cast<char*>(followed_.data());
        header.dwBufferLength = static_cast<std::uint32_t>(followed_.size());
    }
    media::waveOutPrepareHeader(device_.get(), &header, HeaderSize);
    media::waveOutWrite(device_.get(), &header, HeaderSize);
    return Done;
}

std::int32_t CAudioPlayer::Stop() {
    if (state_ == Playing || state_ == Paused) {
        state_ = Ready;
        media::waveOutReset(device_.get());
        media::waveOutUnprepareHeader(device_.get(), &headers_[0], HeaderSize);
        media::waveOutUnprepareHeader(device_.get(), &headers_[1], HeaderSize);
    }
    return Done;
}

std::int32_t CAudioPlayer::Pause() {
    if (state_ != Playing) return WrongState;
    media::waveOutPause(device_.get());
    state_ = Paused;
    return Done;
}

std::int32_t CAudioPlayer::Resume() {
    if (state_ != Paused) return WrongState;
    media::waveOutRestart(device_.get());
    state_ = Playing;
    return Done;
}

std::int32_t CAudioPlayer::Close() {
    decodedAll_ = false;
    if (state_ == Closed) return Done;
    if (state_ == Playing || state_ == Paused) Stop();
    Clear();
    return Done;
}

void CAudioPlayer::SetSlowSpeech(bool slow) {
    slow_ = slow;
}

void CAudioPlayer::SetVolume(std::uint32_t volume) {
    volume_ = volume;
    if (device_.get() != nullptr) media::waveOutSetVolume(device_.get(), volume_);
}

std::uint32_t CAudioPlayer::Duration() const {
    return bitRateKbps_ == 0 ? 0 : payloadLength_ / bitRateKbps_ * 8;
}

std::span<const std::uint8_t> CAudioPlayer::Buffer() const {
    if (!pcm_[0]) return {};
    return {pcm_[0].get(), std::size_t{pcmBytesPerFrame_} * framesInBuffer_};
}

std::uint32_t CAudioPlayer::FrameIndex(std::uint32_t ms) const {
    if (frameDuration_ <= 0) return 0;
    return static_cast<std::uint32_t>(static_cast<float>(ms) / frameDuration_);
}

std::uint32_t CAudioPlayer::FrameLength() const {
    // A frame carrying a VBR tag knows its own length; the two lengths then span the table.
    if (streamInfo_.firstFrameLength > 0) {
        return static_cast<std::uint32_t>(streamInfo_.firstFrameLength);
    }
    return static_cast<std::uint32_t>(streamInfo_.header.padding ? streamInfo_.paddedLength
                                                                 : streamInfo_.unpaddedLength);
}

// Parses the header at offset into the stream information, which keeps the last header that
// parsed when this one does not. The parser is always offered the nominal frame length; near
// the payload's end it reads a copy of the bytes that remain, padded with zeros, so that the
// last frames of a clip parse like the others and nothing past the payload is read.
bool CAudioPlayer::ParseAt(std::uint32_t offset) {
    if (offset >= payloadLength_) return false;
    const std::uint8_t* at = clip_.data() + payloadOffset_ + offset;
    const std::uint32_t remaining = payloadLength_ - offset;
    std::vector<std::uint8_t> padded;
    if (remaining < nominalFrameLength_) {
        padded.assign(nominalFrameLength_, 0);
        std::memcpy(padded.data(), at, remaining);
        at = padded.data();
    }
    mpeg::FrameInfo info;
    if (mpeg::ParseFrameInfo(at, static_cast<std::int32_t>(nominalFrameLength_), info, 1)) {
        streamInfo_ = info;
        return true;
    }
    return false;
}

// Decodes frames [first, end) of the range into the current slot. A frame that does not parse,
// does not lie wholly within the payload, or that the decoder rejects or writes nothing for (a
// frame whose reservoir data lie before the range) leaves silence, whatever the buffer held.
void CAudioPlayer::DecodeFrames(std::uint32_t first, std::uint32_t end) {
    const std::uint8_t* payload = clip_.data() + payloadOffset_;
    mpeg::FrameJob& job = jobs_[currentSlot_];
    for (std::uint32_t i = first; i < end; ++i) {
        std::uint8_t* out = pcm_[currentSlot_].get() + std::size_t{i} * pcmBytesPerFrame_;
        std::memset(out, 0, pcmBytesPerFrame_);
        bool parsed = ParseAt(readOffset_);
        std::uint32_t length = FrameLength();
        if (parsed && length <= payloadLength_ - readOffset_) {
            job.header = streamInfo_.header;
            job.bitRate = streamInfo_.bitRate;
            job.input = payload + readOffset_;
            job.inputLength = static_cast<std::int32_t>(length);
            job.output = out;
            job.outputLength = static_cast<std::int32_t>(pcmBytesPerFrame_);
            mpeg::DecodeFrame(job);
        }
        readOffset_ += length;
        ++framesDecoded_;
        decoderFresh_ = false;
    }
}

// Bytes of the first decoded frame that lie before the range's start: a whole number of
// sample frames, at most one short of the frame.
std::uint32_t CAudioPlayer::StartSkipBytes() const {
    if (rangeStart_ == 0) return 0;
    std::uint64_t blockAlign = waveFormat_.nBlockAlign;
    std::uint64_t frameSamples = pcmBytesPerFrame_ / blockAlign;
    std::uint64_t target = std::uint64_t{rangeStart_} * waveFormat_.nSamplesPerSec / 1000;
    std::uint64_t firstSample = std::uint64_t{FrameIndex(rangeStart_)} * frameSamples;
    std::uint64_t skip = target > firstSample ? target - firstSample : 0;
    return static_cast<std::uint32_t>(std::min(skip, frameSamples - 1) * blockAlign);
}

void CAudioPlayer::Clear() {
    device_.Close();  // before the buffers it may still be reading go
    for (media::GlobalMemory& buffer : pcm_)
        buffer.reset();
    std::vector<std::uint8_t>().swap(clip_);
    std::vector<std::uint8_t>().swap(followed_);
    decodedAll_ = false;
    state_ = Closed;
    currentSlot_ = 0;
    framesInBuffer_ = FramesPerBuffer;
    payloadOffset_ = 0;
    readOffset_ = 0;
    waveFormat_ = media::WAVEFORMATEX{};
    jobs_[0] = jobs_[1] = mpeg::FrameJob{};
    streamInfo_ = mpeg::FrameInfo{};
    headers_[0] = headers_[1] = media::WAVEHDR{};
    payloadLength_ = 0;
    rangeStart_ = rangeEnd_ = 0;
    versionRow_ = bitRateKbps_ = sampleRate_ = channels_ = nominalFrameLength_ = 0;
    pcmBytesPerFrame_ = 0;
    frameDuration_ = 0;
    cued_ = false;
    decoderFresh_ = false;
    framesDecoded_ = 0;
    std::vector<std::uint8_t>().swap(stretched_);
    stretchedFresh_ = false;
}

void CAudioPlayer::WaveOutCallback(media::HWAVEOUT, std::uint32_t, std::uintptr_t, std::uintptr_t,
                                   std::uintptr_t) {
    // Nothing listens for the end of a sound.
}
