#include "audio/mpeg/l2frame.h"

#include <algorithm>
#include <cstdint>

int L12SubbandLimit(int frequencyLimit, int sampleRate, int reduction) {
    const int rateSubbands = 32 >> std::clamp(reduction, 0, 2);
    if (sampleRate <= 0) return 0;
    const std::int64_t wanted =
        (std::int64_t{std::max(frequencyLimit, 0)} * 64 + sampleRate / 2) / sampleRate;
    int limit = static_cast<int>(std::min<std::int64_t>(wanted, rateSubbands));
    if (rateSubbands > 8) limit = std::min(limit, rateSubbands - 1);
    return limit;
}

void L12ResetStore(L12State& state) {
    state.codes.fill(0);
    state.scales.fill(0.0f);
    state.skipBits = 0;
    state.writtenSlots = 0;
    state.blocks.fill(0.0f);
}

void L12PrepareSlots(L12State& state, int slots) {
    if (slots < state.writtenSlots) {
        for (int b = 0; b < L2Blocks; ++b) {
            float* block = state.blocks.data() + b * L12MaxSlots;
            std::fill(block + slots, block + state.writtenSlots, 0.0f);
        }
    }
    state.writtenSlots = slots;
}
