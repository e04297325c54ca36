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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mpeg {
namespace {

// Several blocks are matrixed together, one per vector lane.
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

// DCT-II of size N in place on one block per vector lane: X[k] = sum x[n] cos(pi (2n + 1) k /
// (2N)), by splitting into sums and scaled differences (Lee's fast algorithm).
template <int N, class V>
[[gnu::always_inline]] inline void Dct(V* x) {
    if constexpr (N == 1) {
        (void)x;
    } else {
        constexpr int H = N / 2;
        const float* c = coefficients.values + (H - 1);
        V g[H];
        V h[H];
        for (int n = 0; n < H; ++n) {
            V a = x[n];
            V b = x[N - 1 - n];
            g[n] = a + b;
            h[n] = (a - b) * c[n];
        }
        Dct<H, V>(g);
        Dct<H, V>(h);
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

// The widest vector the kernels use: 8 lanes where the compiler targets AVX.
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

// Transposes L vectors of L lanes in place: afterwards r[i][j] is the former r[j][i].
[[gnu::always_inline]] inline void Transpose(Vec4* r) {
    Vec4 t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5);
    Vec4 t1 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7);
    Vec4 t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5);
    Vec4 t3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
    r[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    r[1] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    r[2] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    r[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

[[gnu::always_inline]] inline void Transpose(Vec8* r) {
    Vec8 t[8];
    for (int i = 0; i < 4; ++i) {
        t[2 * i] = __builtin_shufflevector(r[2 * i], r[2 * i + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        t[2 * i + 1] = __builtin_shufflevector(r[2 * i], r[2 * i + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
    Vec8 u[8];
    for (int h = 0; h < 2; ++h) {
        const Vec8* a = t + 4 * h;
        u[4 * h + 0] = __builtin_shufflevector(a[0], a[2], 0, 1, 8, 9, 4, 5, 12, 13);
        u[4 * h + 1] = __builtin_shufflevector(a[0], a[2], 2, 3, 10, 11, 6, 7, 14, 15);
        u[4 * h + 2] = __builtin_shufflevector(a[1], a[3], 0, 1, 8, 9, 4, 5, 12, 13);
        u[4 * h + 3] = __builtin_shufflevector(a[1], a[3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = __builtin_shufflevector(u[i], u[4 + i], 0, 1, 2, 3, 8, 9, 10, 11);
        r[4 + i] = __builtin_shufflevector(u[i], u[4 + i], 4, 5, 6, 7, 12, 13, 14, 15);
    }
}

// Windows the 16 most recent blocks of hist, the newest at ring index block, into N values.
template <int N>
[[gnu::always_inline]] inline void Window(const float* hist, int block, float* out) {
    constexpr int H = N / 2;
    constexpr int L = H >= WideLanes ? WideLanes : 4;
    using V = typename VecOf<L>::Type;
    constexpr int C = H / L;  // vectors per half
    const WindowTable<N>& t = WindowFor<N>();
    // Separate sums of the even and the odd blocks: independent chains of multiply-adds.
    V s1[2][C] = {};
    V s2[2][C] = {};
    float s0 = 0.0f;
    const float* e = hist + block * N;
#pragma GCC unroll 8
    for (int i = 0; i < 8; ++i, e += 2 * N) {
        const float* o = e + N + H;
        for (int v = 0; v < C; ++v) {
            V ev = Load<V>(e + L * v);
            V ov = Load<V>(o + L * v);
            s1[0][v] += Load<V>(t.w[i][0] + L * v) * ev;
            s1[1][v] += Load<V>(t.w[i][1] + L * v) * ov;
            s2[0][v] += Load<V>(t.w[i][2] + L * v) * ev;
            s2[1][v] += Load<V>(t.w[i][3] + L * v) * ov;
        }
        s0 += t.odd0[i] * o[-H];
    }
    V s1Sum[C];
    V s2Sum[C];
    for (int v = 0; v < C; ++v) {
        s1Sum[v] = s1[0][v] + s1[1][v];
        s2Sum[v] = s2[0][v] + s2[1][v];
    }
    for (int v = 0; v < C; ++v)
        Save(out + L * v, s1Sum[v]);
    out[0] += s0;
    float second[H];
    for (int v = 0; v < C; ++v)
        Save(second + L * v, s2Sum[v]);
    out[H] = second[0];
    for (int j = 1; j < H; ++j)
        out[N - j] = second[j];
}

template <int Width>
constexpr int BytesPerSample() {
    return Width == Width16 ? 2 : Width == Width8 ? 1 : 4;
}

#if defined(__SSE2__)
// Clipped to the 16-bit range and truncated, four at a time.
inline __m128i ToInt4(__m128 v) {
    v = _mm_max_ps(v, _mm_set1_ps(-32768.0f));
    v = _mm_min_ps(v, _mm_set1_ps(32767.0f));
    return _mm_cvttps_epi32(v);
}
#endif

// Converts N values of one channel (b null) or of two (a first, b second) into consecutive
// or interleaved samples at out.
template <int N, int Width>
[[gnu::always_inline]] inline void Store(const float* a, const float* b, std::uint8_t* out) {
    if constexpr (Width == Width16) {
#if defined(__SSE2__)
        if (b == nullptr) {
            for (int j = 0; j < N; j += 8) {
                __m128i lo = ToInt4(_mm_loadu_ps(a + j));
                __m128i hi = ToInt4(_mm_loadu_ps(a + j + 4));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * j), _mm_packs_epi32(lo, hi));
            }
        } else {
            for (int j = 0; j < N; j += 4) {
                __m128 l = _mm_loadu_ps(a + j);
                __m128 r = _mm_loadu_ps(b + j);
                __m128i lo = ToInt4(_mm_unpacklo_ps(l, r));
                __m128i hi = ToInt4(_mm_unpackhi_ps(l, r));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * j), _mm_packs_epi32(lo, hi));
            }
        }
        return;
#endif
    }
    const int step = b == nullptr ? 1 : 2;
    for (int c = 0; c < step; ++c) {
        const float* pcm = c == 0 ? a : b;
        std::uint8_t* o = out + c * BytesPerSample<Width>();
        for (int j = 0; j < N; ++j) {
            if constexpr (Width == Width16) {
                std::int16_t sample = ToPcm16(pcm[j]);
                std::memcpy(o + 2 * j * step, &sample, 2);
            } else if constexpr (Width == Width8) {
                o[j * step] = ToPcm8(pcm[j]);
            } else {
                float f = pcm[j] * (1.0f / 32768.0f);
                std::memcpy(o + 4 * j * step, &f, 4);
            }
        }
    }
}

// Zero subband samples for the lanes of a group that has fewer blocks than lanes.
alignas(32) constexpr float zeroBlock[32] = {};

// Matrixes count (at most the lane count) blocks, rows[l] holding the N subband samples of
// block l, into the history ring of one channel: block l goes to ring index position - l.
template <int N>
[[gnu::always_inline]] inline void Matrix(const float* const* rows, int count, const float* gains,
                                          float* hist, int position) {
    constexpr int L = WideLanes;
    using V = typename VecOf<L>::Type;
    constexpr int H = N / 2;
    V x[N];
    for (int g = 0; g < N; g += L) {
        V* r = x + g;
        for (int l = 0; l < L; ++l)
            r[l] = Load<V>(rows[l] + g);
        Transpose(r);
    }
    if (gains != nullptr) {
        for (int k = 0; k < N; ++k)
            x[k] *= gains[k];
    }
    Dct<N>(x);
    // History order of the results: x[H .. N-1], x[0], x[H-1] down to x[1].
    V y[N];
    for (int j = 0; j < H; ++j)
        y[j] = x[H + j];
    y[H] = x[0];
    for (int j = 1; j < H; ++j)
        y[H + j] = x[H - j];
    for (int g = 0; g < N; g += L) {
        V* r = y + g;
        Transpose(r);
        for (int l = 0; l < count; ++l) {
            int ring = (position - l) & 31;
            Save(hist + ring * N + g, r[l]);
            if (ring < 16) Save(hist + (ring + 32) * N + g, r[l]);
        }
    }
}

// Synthesises blocks of one channel (second null: into history 0, consecutive samples) or of
// two (into histories 0 and 1, interleaved samples). Block b's subband samples start at
// first + b * stride (and second + b * stride).
template <int N, int Width>
[[gnu::always_inline]] inline void Synthesize(const float* first, const float* second, int stride,
                                              int blocks, bool equalize, std::uint8_t* out) {
    constexpr int L = WideLanes;
    SynthesisState& s = decoderState.synthesis;
    const float* gains = N == 32 && equalize && s.equalizerOn ? s.gains : nullptr;
    const int channels = second == nullptr ? 1 : 2;
    const int bytesPerBlock = N * channels * BytesPerSample<Width>();
    for (int b0 = 0; b0 < blocks; b0 += L) {
        int count = blocks - b0 < L ? blocks - b0 : L;
        int position[2] = {s.position[0], s.position[1]};
        for (int c = 0; c < channels; ++c) {
            const float* source = c == 0 ? first : second;
            const float* rows[L];
            for (int l = 0; l < L; ++l)
                rows[l] = l < count ? source + (b0 + l) * stride : zeroBlock;
            Matrix<N>(rows, count, gains, s.history[c], position[c]);
        }
        for (int l = 0; l < count; ++l) {
            alignas(16) float pcm[2][N];
            for (int c = 0; c < channels; ++c)
                Window<N>(s.history[c], (position[c] - l) & 31, pcm[c]);
            Store<N, Width>(pcm[0], channels == 2 ? pcm[1] : nullptr,
                            out + (b0 + l) * bytesPerBlock);
        }
        for (int c = 0; c < channels; ++c)
            s.position[c] = (position[c] - count) & 31;
    }
}

template <int N, int Width, int Layout>
void Layer12Variant(const float* blocks, std::uint8_t* out, int blockCount) {
    if constexpr (Layout == LayoutOneChannel) {
        Synthesize<N, Width>(blocks, nullptr, 64, blockCount, true, out);
    } else {
        // The channels apart (or mixed) first, so that each block's subbands lie in one piece.
        alignas(32) float a[36][32];
        alignas(32) float b[36][32];
        int count = blockCount < 36 ? blockCount : 36;
        for (int i = 0; i < count; ++i) {
            const float* in = blocks + 64 * i;
            for (int k = 0; k < N; ++k) {
                float l = in[2 * k];
                float r = in[2 * k + 1];
                if constexpr (Layout == LayoutMix) {
                    a[i][k] = (l + r) * 0.5f;
                } else if constexpr (Layout == LayoutSecond) {
                    a[i][k] = r;
                } else {
                    a[i][k] = l;
                    b[i][k] = r;
                }
            }
        }
        if constexpr (Layout == LayoutTwoChannels) {
            Synthesize<N, Width>(a[0], b[0], 32, count, true, out);
        } else {
            Synthesize<N, Width>(a[0], nullptr, 32, count, Layout != LayoutMix, out);
        }
    }
}

template <int N, int Width, bool TwoChannels>
void Layer3Variant(const float* first, const float* second, std::uint8_t* out) {
    Synthesize<N, Width>(first, TwoChannels ? second : nullptr, 32, 18, true, out);
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
