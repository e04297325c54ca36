// Layer III hybrid stage (IMDCT, windowing, overlap-add), frequency inversion and the output
// paths into the synthesis.
#include <algorithm>
#include <cstring>

#if defined(PHRASEBOOK_MPEG_AVX2)
#include <immintrin.h>
#endif

#include "audio/mpeg/layer3stages.h"
#include "audio/mpeg/state.h"
#include "audio/mpeg/synthesisvariants.h"

namespace mpeg {
namespace {

// 36-point IMDCT of the 18 lines at in, windowed; the first half plus prev goes to the time
// slots of one subband (stride 32), the second half is saved in place of the lines.
template <bool Add>
void Imdct36(float* in, const float* window, const float* prev, float* time) {
    const auto& c = decoderState.layer3.tables.imdct36;
    // u[n] = sum over k of in[k] * c[k][n]: one vector pass over n per input line.
    float u[20] = {};
    for (int k = 0; k < 18; ++k) {
        float x = in[k];
        const float* row = c[k];
        for (int n = 0; n < 20; ++n)
            u[n] += x * row[n];
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

typedef float Vec4 __attribute__((vector_size(16)));

inline Vec4 Load4(const float* p) {
    Vec4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Imdct36 for four neighbouring subbands at once, one per vector lane. The 18-point DCT-IV
// becomes a DCT-III of the sums of neighbouring lines, whose outputs n and 17 - n share the
// products of the even and the odd inputs.
template <bool Add>
void Imdct36x4(float* in, const float* window, const float* prev, float* time) {
    const Layer3Tables& t = decoderState.layer3.tables;
    Vec4 x[18];
    for (int k = 0; k < 18; ++k)
        x[k] = Vec4{in[k], in[18 + k], in[36 + k], in[54 + k]};
    Vec4 y[18];
    y[0] = x[0];
    for (int j = 1; j < 18; ++j)
        y[j] = x[j] + x[j - 1];
    Vec4 even[9] = {};
    Vec4 odd[9] = {};
    for (int m = 0; m < 9; ++m) {
        for (int n = 0; n < 9; ++n) {
            even[n] += y[2 * m] * Load4(t.imdctEven[m][n]);
            odd[n] += y[2 * m + 1] * Load4(t.imdctOdd[m][n]);
        }
    }
    Vec4 u[18];
    for (int n = 0; n < 9; ++n) {
        u[n] = (even[n] + odd[n]) * t.imdctScale[n];
        u[17 - n] = (even[n] - odd[n]) * t.imdctScale[17 - n];
    }
    for (int i = 0; i < 18; ++i) {
        Vec4 v = window[i] * (i < 9 ? u[9 + i] : u[26 - i]);
        v += Vec4{prev[i], prev[18 + i], prev[36 + i], prev[54 + i]};
        float* out = time + 32 * i;
        if (Add) v += Load4(out);
        std::memcpy(out, &v, sizeof v);
    }
    for (int i = 18; i < 36; ++i) {
        Vec4 v = window[i] * (i < 27 ? u[26 - i] : u[i - 27]);
        for (int l = 0; l < 4; ++l)
            in[18 * l + i - 18] = v[l];
    }
}

#if defined(PHRASEBOOK_MPEG_AVX2)
// Transposes eight vectors of eight lanes in place.
__attribute__((target("avx2,fma"))) inline void Transpose8(__m256* r) {
    __m256 t[8];
    for (int i = 0; i < 4; ++i) {
        t[2 * i] = _mm256_unpacklo_ps(r[2 * i], r[2 * i + 1]);
        t[2 * i + 1] = _mm256_unpackhi_ps(r[2 * i], r[2 * i + 1]);
    }
    __m256 u[8];
    for (int h = 0; h < 2; ++h) {
        const __m256* a = t + 4 * h;
        u[4 * h + 0] = _mm256_shuffle_ps(a[0], a[2], 0x44);
        u[4 * h + 1] = _mm256_shuffle_ps(a[0], a[2], 0xEE);
        u[4 * h + 2] = _mm256_shuffle_ps(a[1], a[3], 0x44);
        u[4 * h + 3] = _mm256_shuffle_ps(a[1], a[3], 0xEE);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = _mm256_permute2f128_ps(u[i], u[4 + i], 0x20);
        r[4 + i] = _mm256_permute2f128_ps(u[i], u[4 + i], 0x31);
    }
}

// Values 0..17 of eight rows of 18 (row l at p + 18 l) as 18 vectors, lane l from row l.
__attribute__((target("avx2,fma"))) inline void LoadColumns(const float* p, __m256* x) {
    for (int k0 = 0; k0 < 16; k0 += 8) {
        for (int l = 0; l < 8; ++l)
            x[k0 + l] = _mm256_loadu_ps(p + 18 * l + k0);
        Transpose8(x + k0);
    }
    for (int k = 16; k < 18; ++k) {
        x[k] = _mm256_set_ps(p[126 + k], p[108 + k], p[90 + k], p[72 + k], p[54 + k], p[36 + k],
                             p[18 + k], p[k]);
    }
}

// Imdct36x4 for eight subbands at once on processors with AVX2 and FMA.
__attribute__((target("avx2,fma"))) void Imdct36x8(float* in, const float* window,
                                                   const float* prev, float* time, bool add) {
    const Layer3Tables& t = decoderState.layer3.tables;
    __m256 x[18];
    LoadColumns(in, x);
    __m256 y[18];
    y[0] = x[0];
    for (int k = 1; k < 18; ++k)
        y[k] = _mm256_add_ps(x[k], x[k - 1]);
    __m256 even[9];
    __m256 odd[9];
    for (int n = 0; n < 9; ++n) {
        even[n] = _mm256_mul_ps(y[0], _mm256_load_ps(t.imdctEven8[0][n]));
        odd[n] = _mm256_mul_ps(y[1], _mm256_load_ps(t.imdctOdd8[0][n]));
    }
    for (int m = 1; m < 9; ++m) {
        for (int n = 0; n < 9; ++n) {
            even[n] = _mm256_fmadd_ps(y[2 * m], _mm256_load_ps(t.imdctEven8[m][n]), even[n]);
            odd[n] = _mm256_fmadd_ps(y[2 * m + 1], _mm256_load_ps(t.imdctOdd8[m][n]), odd[n]);
        }
    }
    __m256 u[18];
    for (int n = 0; n < 9; ++n) {
        u[n] = _mm256_mul_ps(_mm256_add_ps(even[n], odd[n]), _mm256_set1_ps(t.imdctScale[n]));
        u[17 - n] =
            _mm256_mul_ps(_mm256_sub_ps(even[n], odd[n]), _mm256_set1_ps(t.imdctScale[17 - n]));
    }
    __m256 p[18];
    LoadColumns(prev, p);
    for (int i = 0; i < 18; ++i) {
        __m256 v = _mm256_mul_ps(_mm256_set1_ps(window[i]), i < 9 ? u[9 + i] : u[26 - i]);
        v = _mm256_add_ps(v, p[i]);
        float* out = time + 32 * i;
        if (add) v = _mm256_add_ps(v, _mm256_loadu_ps(out));
        _mm256_storeu_ps(out, v);
    }
    __m256 z[18];
    for (int i = 18; i < 36; ++i)
        z[i - 18] = _mm256_mul_ps(_mm256_set1_ps(window[i]), i < 27 ? u[26 - i] : u[i - 27]);
    for (int k0 = 0; k0 < 16; k0 += 8) {
        Transpose8(z + k0);
        for (int l = 0; l < 8; ++l)
            _mm256_storeu_ps(in + 18 * l + k0, z[k0 + l]);
    }
    for (int k = 16; k < 18; ++k) {
        alignas(32) float lanes[8];
        _mm256_store_ps(lanes, z[k]);
        for (int l = 0; l < 8; ++l)
            in[18 * l + k] = lanes[l];
    }
}
#endif

// Three 12-point IMDCTs of the window-interleaved lines at in, overlapped as short blocks.
template <bool Add>
void Imdct12x3(float* in, const float* window, const float* prev, float* time) {
    const auto& c = decoderState.layer3.tables.imdct12;
    // The three windows' transforms side by side in the lanes of one vector.
    Vec4 x[6];
    for (int k = 0; k < 6; ++k)
        x[k] = Vec4{in[3 * k], in[3 * k + 1], in[3 * k + 2], 0.0f};
    Vec4 u[6] = {};
    for (int n = 0; n < 6; ++n) {
        for (int k = 0; k < 6; ++k)
            u[n] += x[k] * c[n][k];
    }
    float z[36] = {};
    for (int w = 0; w < 3; ++w) {
        float* out = z + 6 + 6 * w;
        for (int i = 0; i < 3; ++i)
            out[i] += window[i] * u[3 + i][w];
        for (int i = 3; i < 9; ++i)
            out[i] += window[i] * u[8 - i][w];
        for (int i = 9; i < 12; ++i)
            out[i] += window[i] * u[i - 9][w];
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

// The hybrid stage of one channel into subband block out; returns the subbands produced
// (transformed or copied). With Add the time samples are added to the block.
template <bool Add>
int Hybrid(int gr, int ch, int slot, int out) {
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
    float* block = l3.subbands[out];

    int sb = 0;
    // In a mixed block the two lowest subbands are long blocks with the normal window, also
    // when the rest of the granule uses the start or stop window.
    if (g.mixedBlock) {
        for (; sb < std::min(longLimit, 2); ++sb) {
            Imdct36<Add>(xr + 18 * sb, l3.tables.window[0], prev + 18 * sb, block + sb);
        }
    }
#if defined(PHRASEBOOK_MPEG_AVX2)
    if (UseAvx2Kernels()) {
        for (; sb + 8 <= longLimit; sb += 8) {
            Imdct36x8(xr + 18 * sb, longWindow, prev + 18 * sb, block + sb, Add);
        }
    }
#endif
    for (; sb + 4 <= longLimit; sb += 4) {
        Imdct36x4<Add>(xr + 18 * sb, longWindow, prev + 18 * sb, block + sb);
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
    // Only the subbands an earlier granule left non-zero need clearing.
    if (!Add) {
        for (; sb < l3.blockFilled[out]; ++sb) {
            for (int i = 0; i < 18; ++i)
                block[32 * i + sb] = 0.0f;
        }
        l3.blockFilled[out] = count;
    } else {
        l3.blockFilled[out] = std::max(l3.blockFilled[out], count);
    }
    l3.nonZero[ch][slot] = 18 * count;
    return count;
}

void InvertFrequencies(int count, int out) {
    float* block = decoderState.layer3.subbands[out];
    // The sign bits of the odd subbands below count, flipped four subbands at a time.
    typedef std::uint32_t Bits4 __attribute__((vector_size(16)));
    Bits4 mask[8];
    for (int v = 0; v < 8; ++v) {
        for (int l = 0; l < 4; ++l) {
            int sb = 4 * v + l;
            mask[v][l] = (sb & 1) && sb < count ? 0x80000000u : 0u;
        }
    }
    int vectors = (count + 3) / 4;
    for (int t = 1; t < 18; t += 2) {
        float* row = block + 32 * t;
        for (int v = 0; v < vectors; ++v) {
            Bits4 x;
            std::memcpy(&x, row + 4 * v, sizeof x);
            x ^= mask[v];
            std::memcpy(row + 4 * v, &x, sizeof x);
        }
    }
}

// One channel through hybrid and inversion into subband block out.
void HybridChannel(int gr, int ch, int slot, int out) {
    InvertFrequencies(Hybrid<false>(gr, ch, slot, out), out);
}

// The granule's synthesis: block 0, and with the two-channel variant block 1 too.
void Synthesize(std::uint8_t* out) {
    Layer3State& l3 = decoderState.layer3;
    l3.synthesis(l3.subbands[0], l3.subbands[1], out);
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
        count = Hybrid<false>(gr, 0, slot, 0);
    } else {
        for (int i = 0; i < n0; ++i)
            x0[i] *= 0.5f;
        for (int i = 0; i < n1; ++i)
            x1[i] *= 0.5f;
        count = Hybrid<false>(gr, 0, slot, 0);
        int count1 = Hybrid<true>(gr, 1, slot, 0);
        for (int i = 0; i < 18 * count1; ++i)
            x0[i] += x1[i];
        count = std::max(count, count1);
        l3.nonZero[0][slot] = 18 * count;
    }
    std::memset(x1, 0, sizeof(float) * 576);
    l3.nonZero[1][slot] = 0;
    InvertFrequencies(count, 0);
    Synthesize(out);
}

}  // namespace

void OutputGranule(int channels, int gr, int slot, std::uint8_t* out) {
    Layer3State& l3 = decoderState.layer3;
    if (channels == 1) {
        HybridChannel(gr, 0, slot, 0);
        // A single-channel frame of a two-channel stream sounds on both channels; the second
        // channel takes over the first one's overlap too, so that it continues smoothly when
        // two-channel frames return.
        if (l3.path == PathBoth) {
            std::memcpy(l3.subbands[1], l3.subbands[0], sizeof l3.subbands[0]);
            l3.blockFilled[1] = l3.blockFilled[0];
            std::memcpy(l3.spectrum[1][slot], l3.spectrum[0][slot], sizeof l3.spectrum[0][slot]);
            l3.nonZero[1][slot] = l3.nonZero[0][slot];
        }
        Synthesize(out);
        return;
    }
    switch (l3.path) {
        case PathFirst:
            HybridChannel(gr, 0, slot, 0);
            break;
        case PathSecond:
            HybridChannel(gr, 1, slot, 0);
            break;
        case PathBoth:
            HybridChannel(gr, 0, slot, 0);
            HybridChannel(gr, 1, slot, 1);
            break;
        default:
            OutputMix(gr, slot, out);
            return;
    }
    Synthesize(out);
}

}  // namespace mpeg
