#include "audio/recorder.h"

#include <cstring>

namespace audio {
namespace {

constexpr std::uint32_t HeaderSize = sizeof(media::WAVEHDR);
constexpr std::uint32_t SamplesPerBuffer = CRecorder::SampleRate * CRecorder::BufferMs / 1000;

}  // namespace

CRecorder::CRecorder(media::WaveInDriver& driver) : driver_(driver) {
    for (auto& buffer : buffers_)
        buffer.resize(SamplesPerBuffer);
    handedBack_.reserve(BufferCount);
}

CRecorder::~CRecorder() {
    Cancel();
}

media::WAVEFORMATEX CRecorder::Format() {
    media::WAVEFORMATEX format{};
    format.wFormatTag = media::WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = SampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = SampleRate * 2;
    return format;
}

CRecorder::Start CRecorder::Begin() {
    Cancel();
    const media::WAVEFORMATEX format = Format();
    if (media::waveInOpen(driver_, device_.Receive(), media::WAVE_MAPPER, &format, &Callback,
                          reinterpret_cast<std::uintptr_t>(this),
                          media::CALLBACK_FUNCTION) != media::MMSYSERR_NOERROR) {
        return Start::NoMicrophone;
    }
    samples_.reserve(std::size_t{SampleRate} * SilenceDetector::LongestTakeMs / 1000);
    detector_ = SilenceDetector(SampleRate);
    lost_ = false;
    for (std::uint32_t i = 0; i < BufferCount; ++i) {
        headers_[i] = media::WAVEHDR{};
        headers_[i].lpData = reinterpret_cast<char*>(buffers_[i].data());
        headers_[i].dwBufferLength = SamplesPerBuffer * 2;
        media::waveInPrepareHeader(device_.get(), &headers_[i], HeaderSize);
        media::waveInAddBuffer(device_.get(), &headers_[i], HeaderSize);
    }
    state_ = State::Recording;
    if (media::waveInStart(device_.get()) != media::MMSYSERR_NOERROR) {
        lost_ = true;
        Finish();
    }
    return Start::Recording;
}

void CRecorder::Callback(media::HWAVEIN, std::uint32_t message, std::uintptr_t instance,
                         std::uintptr_t param1, std::uintptr_t) {
    if (message != media::WIM_DATA) return;
    auto* self = reinterpret_cast<CRecorder*>(instance);
    std::lock_guard lock(self->mutex_);
    self->handedBack_.push_back(reinterpret_cast<media::WAVEHDR*>(param1));
}

void CRecorder::Collect(bool requeue) {
    std::vector<media::WAVEHDR*> back;
    {
        std::lock_guard lock(mutex_);
        back.swap(handedBack_);
    }
    for (media::WAVEHDR* header : back) {
        const std::span<const std::int16_t> heard(
            reinterpret_cast<const std::int16_t*>(header->lpData), header->dwBytesRecorded / 2);
        if (!detector_.Done()) {
            const std::uint64_t before = detector_.TakeLength();
            detector_.Hear(heard);
            const std::uint64_t kept = detector_.TakeLength() - before;
            samples_.insert(samples_.end(), heard.begin(),
                            heard.begin() + static_cast<std::ptrdiff_t>(kept));
        }
        if (requeue && !detector_.Done()) {
            header->dwBytesRecorded = 0;
            if (media::waveInAddBuffer(device_.get(), header, HeaderSize) ==
                media::MMSYSERR_NODRIVER) {
                lost_ = true;
            }
        }
    }
}

CRecorder::State CRecorder::Poll() {
    if (state_ != State::Recording) return state_;
    Collect(true);
    if (detector_.Done() || lost_) Finish();
    return state_;
}

CRecorder::State CRecorder::End() {
    if (state_ != State::Recording) return state_;
    Finish();
    return state_;
}

void CRecorder::Finish() {
    // Hands back the buffer being filled with what it holds, then every other.
    media::waveInStop(device_.get());
    Collect(false);
    media::waveInReset(device_.get());
    Collect(false);
    for (auto& header : headers_)
        media::waveInUnprepareHeader(device_.get(), &header, HeaderSize);
    device_.Close();
    state_ = State::Finished;
}

void CRecorder::Cancel() {
    if (state_ == State::Recording) Finish();
    samples_.clear();
    state_ = State::Idle;
}

}  // namespace audio
