// Layer III hybrid stage (IMDCT, windowing, overlap-add), frequency inversion and the output
// paths into the synthesis.
#include <algorithm>
#include <cstring>

#include "audio/mpeg/layer3stages.h"
#include "audio/mpeg/state.h"

namespace mpeg {
namespace {

// 36-point IMDCT of the 18 lines at in, windowed; the first half plus prev goes to the time
// slots of one subband (stride 32), the second half is saved in place of the lines.
template <bool Add>
void Imdct36(float* in, const float* window, const float* prev, float* time) {
    const auto& c = decoderState.layer3.tables.imdct36;
    float u[18];
    for (int n = 0; n < 18; ++n) {
        float sum = 0.0f;
        for (int k = 0; k < 18; ++k)
            sum += in[k] * c[n][k];
        u[n] = sum;
    }
    for (int i = 0; i < 9; ++i) {
        float y = window[i] * u[9 + i] + prev[i];
        if (Add) {
            time[32 * i] += y;
        } else {
            time[32 * i] = y;
        }
    }
    for (int i = 9; i < 18; ++i) {
        float y = window[i] * u[26 - i] + prev[i];
        if (Add) {
            time[32 * i] += y;
        } else {
            time[32 * i] = y;
        }
    }
    for (int i = 18; i < 27; ++i)
        in[i - 18] = window[i] * u[26 - i];
    for (int i = 27; i < 36; ++i)
        in[i - 18] = window[i] * u[i - 27];
}

// Three 12-point IMDCTs of the window-interleaved lines at in, overlapped as short blocks.
template <bool Add>
void Imdct12x3(float* in, const float* window, const float* prev, float* time) {
    const auto& c = decoderState.layer3.tables.imdct12;
    float z[36] = {};
    for (int w = 0; w < 3; ++w) {
        float u[6];
        for (int n = 0; n < 6; ++n) {
            float sum = 0.0f;
            for (int k = 0; k < 6; ++k)
                sum += in[3 * k + w] * c[n][k];
            u[n] = sum;
        }
        float* out = z + 6 + 6 * w;
        for (int i = 0; i < 3; ++i)
            out[i] += window[i] * u[3 + i];
        for (int i = 3; i < 9; ++i)
            out[i] += window[i] * u[8 - i];
        for (int i = 9; i < 12; ++i)
            out[i] += window[i] * u[i - 9];
    }
    for (int i = 0; i < 18; ++i) {
        float y = z[i] + prev[i];
        if (Add) {
            time[32 * i] += y;
        } else {
            time[32 * i] = y;
        }
    }
    for (int i = 0; i < 18; ++i)
        in[i] = z[18 + i];
}

// The hybrid stage of one channel into the subband block; returns the subbands produced
// (transformed or copied). With Add the time samples are added to the block.
template <bool Add>
int Hybrid(int gr, int ch, int slot) {
    Layer3State& l3 = decoderState.layer3;
    const GranuleInfo& g = l3.side.granule[gr][ch];
    float* xr = l3.spectrum[ch][slot];
    const float* prev = l3.spectrum[ch][slot ^ 1];
    int produced = l3.subbandsProduced;
    int fresh = std::min((l3.nonZero[ch][slot] + 17) / 18, produced);
    int carried = std::min(l3.nonZero[ch][slot ^ 1] / 18, produced);
    bool isShort = g.windowSwitching && g.blockType == 2;
    int blockType = g.windowSwitching ? g.blockType : 0;
    int longLimit = !isShort ? fresh : (g.mixedBlock ? std::min(2, fresh) : 0);
    const float* longWindow = l3.tables.window[isShort ? 0 : blockType];
    float* block = l3.subbands;

    int sb = 0;
    // In a mixed block the two lowest subbands are long blocks with the normal window, also
    // when the rest of the granule uses the start or stop window.
    const float* lowWindow = g.mixedBlock ? l3.tables.window[0] : longWindow;
    for (; sb < std::min(longLimit, 2); ++sb) {
        Imdct36<Add>(xr + 18 * sb, lowWindow, prev + 18 * sb, block + sb);
    }
    for (; sb < longLimit; ++sb) {
        Imdct36<Add>(xr + 18 * sb, longWindow, prev + 18 * sb, block + sb);
    }
    for (; sb < fresh; ++sb) {
        Imdct12x3<Add>(xr + 18 * sb, l3.tables.window[2], prev + 18 * sb, block + sb);
    }
    for (; sb < carried; ++sb) {
        for (int i = 0; i < 18; ++i) {
            if (Add) {
                block[32 * i + sb] += prev[18 * sb + i];
            } else {
                block[32 * i + sb] = prev[18 * sb + i];
            }
        }
    }
    int count = sb;
    if (!Add) {
        for (; sb < produced; ++sb) {
            for (int i = 0; i < 18; ++i)
                block[32 * i + sb] = 0.0f;
        }
    }
    l3.nonZero[ch][slot] = 18 * count;
    return count;
}

void InvertFrequencies(int count) {
    float* block = decoderState.layer3.subbands;
    for (int t = 1; t < 18; t += 2) {
        for (int sb = 1; sb < count; sb += 2)
            block[32 * t + sb] = -block[32 * t + sb];
    }
}

void Synthesize(std::uint8_t* out, int ch) {
    Layer3State& l3 = decoderState.layer3;
    l3.synthesis(l3.subbands, out, ch);
}

// One channel through hybrid, inversion and the synthesis of output channel outCh.
void OutputChannel(int gr, int ch, int slot, std::uint8_t* out, int outCh) {
    InvertFrequencies(Hybrid<false>(gr, ch, slot));
    Synthesize(out, outCh);
}

// The two channels summed (and halved, so that a mix of two full-scale channels stays in
// range) into channel 0, whose saved overlap then holds the mix; channel 1 keeps no overlap.
void OutputMix(int gr, int slot, std::uint8_t* out) {
    Layer3State& l3 = decoderState.layer3;
    const GranuleInfo& g0 = l3.side.granule[gr][0];
    const GranuleInfo& g1 = l3.side.granule[gr][1];
    float* x0 = l3.spectrum[0][slot];
    float* x1 = l3.spectrum[1][slot];
    int n0 = l3.nonZero[0][slot];
    int n1 = l3.nonZero[1][slot];
    int type0 = g0.windowSwitching ? g0.blockType : 0;
    int type1 = g1.windowSwitching ? g1.blockType : 0;
    bool mixed0 = type0 == 2 && g0.mixedBlock;
    bool mixed1 = type1 == 2 && g1.mixedBlock;
    int count;
    if (type0 == type1 && !mixed0 && !mixed1) {
        int m = std::min(std::max(n0, n1), l3.lineLimit);
        for (int i = 0; i < m; ++i)
            x0[i] = (x0[i] + x1[i]) * 0.5f;
        l3.nonZero[0][slot] = m;
        count = Hybrid<false>(gr, 0, slot);
    } else {
        for (int i = 0; i < n0; ++i)
            x0[i] *= 0.5f;
        for (int i = 0; i < n1; ++i)
            x1[i] *= 0.5f;
        count = Hybrid<false>(gr, 0, slot);
        int count1 = Hybrid<true>(gr, 1, slot);
        for (int i = 0; i < 18 * count1; ++i)
            x0[i] += x1[i];
        count = std::max(count, count1);
        l3.nonZero[0][slot] = 18 * count;
    }
    std::memset(x1, 0, sizeof(float) * 576);
    l3.nonZero[1][slot] = 0;
    InvertFrequencies(count);
    Synthesize(out, 0);
}

}  // namespace

void OutputGranule(int channels, int gr, int slot, std::uint8_t* out) {
    Layer3State& l3 = decoderState.layer3;
    if (channels == 1) {
        OutputChannel(gr, 0, slot, out, 0);
        // A single-channel frame of a two-channel stream sounds on both channels.
        if (l3.path == PathBoth) Synthesize(out, 1);
        return;
    }
    switch (l3.path) {
        case PathFirst:
            OutputChannel(gr, 0, slot, out, 0);
            break;
        case PathSecond:
            OutputChannel(gr, 1, slot, out, 0);
            break;
        case PathBoth:
            OutputChannel(gr, 0, slot, out, 0);
            OutputChannel(gr, 1, slot, out, 1);
            break;
        default:
            OutputMix(gr, slot, out);
            break;
    }
}

}  // namespace mpeg
