// The synthesis variants themselves, compiled once per instruction set (synthesis.cpp for the
// baseline, synthesis_avx2.cpp with AVX2 and FMA). Everything here has internal linkage, so the
// two compilations never mix; each translation unit exports its tables through
// synthesisvariants.h.
#pragma once

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/mpeg/pcm.h"
#include "audio/mpeg/state.h"
#include "audio/mpeg/synthesis.h"
#include "audio/mpeg/synthesiswindow.h"

namespace mpeg {
namespace {

// Four blocks are matrixed together, one per vector lane.
typedef float Vec4 __attribute__((vector_size(16)));

// Matrixing coefficients 0.5 / cos((2k + 1) pi / (4n)) for n = 16, 8, 4, 2, 1, stored at
// offset n - 1 (so the group of a DCT of size 2n starts at n - 1). Built once; never changed.
struct MatrixCoefficients {
    float values[32] = {};
    MatrixCoefficients() {
        for (int n = 16; n >= 1; n /= 2) {
            for (int k = 0; k < n; ++k) {
                values[n - 1 + k] =
                    static_cast<float>(0.5 / std::cos((2 * k + 1) * std::numbers::pi / (4.0 * n)));
            }
        }
    }
};
const MatrixCoefficients coefficients;

// DCT-II of size N in place on four blocks at once: X[k] = sum x[n] cos(pi (2n + 1) k / (2N)),
// by splitting into sums and scaled differences (Lee's fast algorithm).
template <int N>
[[gnu::always_inline]] inline void Dct(Vec4* x) {
    if constexpr (N == 1) {
        (void)x;
    } else {
        constexpr int H = N / 2;
        const float* c = coefficients.values + (H - 1);
        Vec4 g[H];
        Vec4 h[H];
        for (int n = 0; n < H; ++n) {
            Vec4 a = x[n];
            Vec4 b = x[N - 1 - n];
            g[n] = a + b;
            h[n] = (a - b) * c[n];
        }
        Dct<H>(g);
        Dct<H>(h);
        for (int k = 0; k < H - 1; ++k) {
            x[2 * k] = g[k];
            x[2 * k + 1] = h[k] + h[k + 1];
        }
        x[N - 2] = g[H - 1];
        x[N - 1] = h[H - 1];
    }
}

// The window of an N-band synthesis (D[i * 32 / N]), ordered for Window<N>. For each pair i of
// history blocks (an even one e and an odd one o) and lane j < N / 2:
//   out[j]     += w[i][0][j] * e[j] + w[i][1][j] * o[N/2 + j]
//   out[N - j] += w[i][2][j] * e[j] + w[i][3][j] * o[N/2 + j]      (lane 0 gives out[N/2])
// plus out[0] += odd0[i] * o[0].
template <int N>
struct WindowTable {
    alignas(32) float w[8][4][N / 2] = {};
    float odd0[8] = {};
};

template <int N>
constexpr float D(int x) {
    return static_cast<float>(SynthesisWindowD[x * (32 / N)]) / 65536.0f;
}

template <int N>
constexpr WindowTable<N> BuildWindow() {
    WindowTable<N> t{};
    for (int i = 0; i < 8; ++i) {
        int b = 2 * N * i;
        t.w[i][0][0] = D<N>(b);
        t.w[i][1][0] = 0.0f;
        t.w[i][2][0] = 0.0f;
        t.w[i][3][0] = -D<N>(b + 3 * N / 2);
        t.odd0[i] = -D<N>(b + N);
        for (int j = 1; j < N / 2; ++j) {
            t.w[i][0][j] = D<N>(b + j);
            t.w[i][1][j] = -D<N>(b + N + j);
            t.w[i][2][j] = -D<N>(b + N - j);
            t.w[i][3][j] = -D<N>(b + 2 * N - j);
        }
    }
    return t;
}

constexpr WindowTable<32> window32 = BuildWindow<32>();
constexpr WindowTable<16> window16 = BuildWindow<16>();
constexpr WindowTable<8> window8 = BuildWindow<8>();

template <int N>
constexpr const WindowTable<N>& WindowFor() {
    if constexpr (N == 32) {
        return window32;
    } else if constexpr (N == 16) {
        return window16;
    } else {
        return window8;
    }
}

// The widest vector the windowing uses: 8 lanes where the compiler targets AVX.
#ifdef __AVX__
constexpr int WideLanes = 8;
#else
constexpr int WideLanes = 4;
#endif
typedef float Vec8 __attribute__((vector_size(32)));
template <int L>
struct VecOf {
    using Type = Vec4;
};
template <>
struct VecOf<8> {
    using Type = Vec8;
};

template <class V>
inline V Load(const float* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V>
inline void Save(float* p, V v) {
    std::memcpy(p, &v, sizeof v);
}

// Windows the 16 most recent blocks of hist, the newest at ring index block, into N values.
template <int N>
[[gnu::always_inline]] inline void Window(const float* hist, int block, float* out) {
    constexpr int H = N / 2;
    constexpr int L = H >= WideLanes ? WideLanes : 4;
    using V = typename VecOf<L>::Type;
    constexpr int C = H / L;  // vectors per half
    const WindowTable<N>& t = WindowFor<N>();
    V s1[C] = {};
    V s2[C] = {};
    float s0 = 0.0f;
#pragma GCC unroll 8
    for (int i = 0; i < 8; ++i) {
        const float* e = hist + (block + 2 * i) * N;
        const float* o = hist + (block + 2 * i + 1) * N + H;
        for (int v = 0; v < C; ++v) {
            V ev = Load<V>(e + L * v);
            V ov = Load<V>(o + L * v);
            s1[v] += Load<V>(t.w[i][0] + L * v) * ev + Load<V>(t.w[i][1] + L * v) * ov;
            s2[v] += Load<V>(t.w[i][2] + L * v) * ev + Load<V>(t.w[i][3] + L * v) * ov;
        }
        s0 += t.odd0[i] * o[-H];
    }
    for (int v = 0; v < C; ++v)
        Save(out + L * v, s1[v]);
    out[0] += s0;
    float second[H];
    for (int v = 0; v < C; ++v)
        Save(second + L * v, s2[v]);
    out[H] = second[0];
    for (int j = 1; j < H; ++j)
        out[N - j] = second[j];
}

template <int Width>
constexpr int BytesPerSample() {
    return Width == Width16 ? 2 : Width == Width8 ? 1 : 4;
}

// Converts N values into out at sample positions 0, step, 2 step, ...
template <int N, int Width>
[[gnu::always_inline]] inline void Store(const float* pcm, std::uint8_t* out, int step) {
    if constexpr (Width == Width16) {
        // Clip, then truncate: four at a time.
        typedef int Int4 __attribute__((vector_size(16)));
        const Vec4 low = {-32768.0f, -32768.0f, -32768.0f, -32768.0f};
        const Vec4 high = {32767.0f, 32767.0f, 32767.0f, 32767.0f};
        for (int j = 0; j < N; j += 4) {
            Vec4 v = Load<Vec4>(pcm + j);
            v = v < low ? low : v;
            v = v > high ? high : v;
            Int4 n = __builtin_convertvector(v, Int4);
            for (int l = 0; l < 4; ++l) {
                auto sample = static_cast<std::int16_t>(n[l]);
                std::memcpy(out + 2 * (j + l) * step, &sample, 2);
            }
        }
    } else if constexpr (Width == Width8) {
        for (int j = 0; j < N; ++j)
            out[j * step] = ToPcm8(pcm[j]);
    } else {
        for (int j = 0; j < N; ++j) {
            float f = pcm[j] * (1.0f / 32768.0f);
            std::memcpy(out + 4 * j * step, &f, 4);
        }
    }
}

// Synthesises blocks of channel ch: source(b, k) gives subband k of block b (k < N). The
// samples of block b go to out + b * advance samples, step samples apart.
template <int N, int Width, class Source>
[[gnu::always_inline]] inline void Synthesize(const Source& source, int blocks, int ch,
                                              bool equalize, std::uint8_t* out, int advance,
                                              int step) {
    SynthesisState& s = decoderState.synthesis;
    float* hist = s.history[ch];
    const bool eq = N == 32 && equalize && s.equalizerOn;
    constexpr int H = N / 2;
    constexpr int bytes = BytesPerSample<Width>();
    int position = s.position[ch];
    for (int b0 = 0; b0 < blocks; b0 += 4) {
        int count = blocks - b0 < 4 ? blocks - b0 : 4;
        Vec4 x[N];
        for (int k = 0; k < N; ++k) {
            Vec4 v = {source(b0, k), count > 1 ? source(b0 + 1, k) : 0.0f,
                      count > 2 ? source(b0 + 2, k) : 0.0f, count > 3 ? source(b0 + 3, k) : 0.0f};
            if (eq) v *= s.gains[k];
            x[k] = v;
        }
        Dct<N>(x);
        for (int l = 0; l < count; ++l) {
            int ring = (position - l) & 31;
            float* z = hist + ring * N;
            for (int j = 0; j < H; ++j)
                z[j] = x[H + j][l];
            z[H] = x[0][l];
            for (int j = 1; j < H; ++j)
                z[H + j] = x[H - j][l];
            if (ring < 16) std::memcpy(hist + (ring + 32) * N, z, sizeof(float) * N);
        }
        for (int l = 0; l < count; ++l) {
            float pcm[N];
            Window<N>(hist, (position - l) & 31, pcm);
            Store<N, Width>(pcm, out + (b0 + l) * advance * bytes, step);
        }
        position = (position - count) & 31;
    }
    s.position[ch] = position;
}

template <int N, int Width, int Layout>
void Layer12Variant(const float* blocks, std::uint8_t* out, int blockCount) {
    auto slot = [blocks](int offset) {
        return [blocks, offset](int b, int k) { return blocks[64 * b + 2 * k + offset]; };
    };
    if constexpr (Layout == LayoutOneChannel) {
        auto source = [blocks](int b, int k) { return blocks[64 * b + k]; };
        Synthesize<N, Width>(source, blockCount, 0, true, out, N, 1);
    } else if constexpr (Layout == LayoutTwoChannels) {
        constexpr int bytes = BytesPerSample<Width>();
        Synthesize<N, Width>(slot(0), blockCount, 0, true, out, 2 * N, 2);
        Synthesize<N, Width>(slot(1), blockCount, 1, true, out + bytes, 2 * N, 2);
    } else if constexpr (Layout == LayoutMix) {
        auto source = [blocks](int b, int k) {
            return (blocks[64 * b + 2 * k] + blocks[64 * b + 2 * k + 1]) * 0.5f;
        };
        Synthesize<N, Width>(source, blockCount, 0, false, out, N, 1);
    } else {
        Synthesize<N, Width>(slot(Layout == LayoutSecond ? 1 : 0), blockCount, 0, true, out, N, 1);
    }
}

template <int N, int Width, bool TwoChannels>
void Layer3Variant(const float* subbands, std::uint8_t* out, int channel) {
    auto source = [subbands](int b, int k) { return subbands[32 * b + k]; };
    if constexpr (TwoChannels) {
        constexpr int bytes = BytesPerSample<Width>();
        Synthesize<N, Width>(source, 18, channel, true, out + channel * bytes, 2 * N, 2);
    } else {
        Synthesize<N, Width>(source, 18, 0, true, out, N, 1);
    }
}

template <int N, int Width>
constexpr std::array<Layer12Synthesis, 5> Layer12Row() {
    return {&Layer12Variant<N, Width, 0>, &Layer12Variant<N, Width, 1>,
            &Layer12Variant<N, Width, 2>, &Layer12Variant<N, Width, 3>,
            &Layer12Variant<N, Width, 4>};
}

// [width][reduction][layout]
constexpr std::array<std::array<std::array<Layer12Synthesis, 5>, 3>, 3> layer12Variants = {{
    {{Layer12Row<32, Width16>(), Layer12Row<16, Width16>(), Layer12Row<8, Width16>()}},
    {{Layer12Row<32, Width8>(), Layer12Row<16, Width8>(), Layer12Row<8, Width8>()}},
    {{Layer12Row<32, WidthFloat>(), Layer12Row<16, WidthFloat>(), Layer12Row<8, WidthFloat>()}},
}};

template <int N, int Width>
constexpr std::array<Layer3Synthesis, 2> Layer3Row() {
    return {&Layer3Variant<N, Width, false>, &Layer3Variant<N, Width, true>};
}

constexpr std::array<std::array<std::array<Layer3Synthesis, 2>, 3>, 3> layer3Variants = {{
    {{Layer3Row<32, Width16>(), Layer3Row<16, Width16>(), Layer3Row<8, Width16>()}},
    {{Layer3Row<32, Width8>(), Layer3Row<16, Width8>(), Layer3Row<8, Width8>()}},
    {{Layer3Row<32, WidthFloat>(), Layer3Row<16, WidthFloat>(), Layer3Row<8, WidthFloat>()}},
}};

}  // namespace
}  // namespace mpeg
