// The decoder on arbitrary bytes: the first byte chooses the rate reduction, the channel
// conversion and 8-bit output; the rest is searched for a frame, started and decoded frame by
// frame, resynchronising after a bad frame as the player does.
#include <cstdint>
#include <vector>

#include "audio/mpeg/decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t choice = data[0];
    const std::uint8_t* stream = data + 1;
    const auto length = static_cast<std::int32_t>(size - 1);

    mpeg::DecoderInit();
    mpeg::DecodeOptions options;
    options.reduction = choice % 3;
    options.conversion = ((choice >> 2) & 3) | ((choice & 0x10) ? mpeg::Convert8Bit : 0);
    options.frequencyLimit = (choice & 0x20) ? 8000 : 24000;
    mpeg::SetDecodeOptions(options);

    std::int32_t offset = 0;
    if (!mpeg::FindFrameSync(stream, length, offset)) return 0;
    mpeg::FrameInfo info;
    if (!mpeg::ParseFrameInfo(stream + offset, length - offset, info, 1)) return 0;
    if (!mpeg::DecoderStart(stream + offset, length - offset)) return 0;
    if (info.pcmBytesPerFrame <= 0 || info.pcmBytesPerFrame > (1 << 20)) __builtin_trap();
    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(info.pcmBytesPerFrame));
    for (int frames = 0; offset < length && frames < 64; ++frames) {
        mpeg::FrameJob job;
        job.input = stream + offset;
        job.inputLength = length - offset;
        job.output = pcm.data();
        if (mpeg::DecodeFrame(job)) {
            if (job.outputLength > info.pcmBytesPerFrame || job.inputLength <= 0) __builtin_trap();
            offset += job.inputLength;
            continue;
        }
        std::int32_t found = 0;
        if (offset + 1 >= length ||
            !mpeg::FindFrameSync(stream + offset + 1, length - offset - 1, found))
            break;
        offset += 1 + found;
    }
    return 0;
}
