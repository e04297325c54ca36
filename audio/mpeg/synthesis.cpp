#include "audio/mpeg/synthesis.h"

#include <cstring>

#include "audio/mpeg/state.h"
#include "audio/mpeg/synthesisvariants.h"

namespace mpeg {
namespace {

int Clamp(int v, int lo, int hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

#if defined(PHRASEBOOK_MPEG_AVX2)
// The processor is asked once: its instruction set does not change while the program runs.
bool UseAvx2Kernels() {
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }();
    return supported && !decoderState.baselineKernels;
}
#endif

void SynthesisReset() {
    SynthesisState& s = decoderState.synthesis;
    std::memset(s.history, 0, sizeof s.history);
    s.position[0] = 0;
    s.position[1] = 0;
}

void SynthesisInit() {}

int SynthesisWidth(const DecodeOptions& options) {
    if (options.conversion & Convert8Bit) return Width8;
    return decoderState.floatOutput ? WidthFloat : Width16;
}

Layer12Synthesis SelectLayer12Synthesis(int width, int reduction, int layout) {
    width = Clamp(width, 0, 2);
    reduction = Clamp(reduction, 0, 2);
    layout = Clamp(layout, 0, 4);
#if defined(PHRASEBOOK_MPEG_AVX2)
    if (UseAvx2Kernels()) return avx2::Layer12Variant(width, reduction, layout);
#endif
    return baseline::Layer12Variant(width, reduction, layout);
}

Layer3Synthesis SelectLayer3Synthesis(int width, int reduction, bool twoChannels) {
    width = Clamp(width, 0, 2);
    reduction = Clamp(reduction, 0, 2);
#if defined(PHRASEBOOK_MPEG_AVX2)
    if (UseAvx2Kernels()) return avx2::Layer3Variant(width, reduction, twoChannels);
#endif
    return baseline::Layer3Variant(width, reduction, twoChannels);
}

int Layer12Layout(std::int32_t mode, const DecodeOptions& options) {
    if (mode == ModeSingleChannel) return LayoutOneChannel;
    return (options.conversion & ConvertChannelMask) + 1;
}

}  // namespace mpeg
