#include "audio/mpeg/synthesis.h"

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/mpeg/pcm.h"
#include "audio/mpeg/state.h"
#include "audio/mpeg/synthesiswindow.h"

namespace mpeg {
namespace {

// Matrixing coefficients 0.5 / cos((2k + 1) pi / (4n)) for n = 16, 8, 4, 2, 1, stored at
// offset n - 1 (so the group of a DCT of size 2n starts at n - 1). Built once; they never change.
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

// DCT-II of size N in place: X[k] = sum x[n] cos(pi (2n + 1) k / (2N)), by splitting into sums
// and scaled differences (Lee's fast algorithm).
template <int N>
inline void Dct(float* x) {
    if constexpr (N == 1) {
        (void)x;
    } else {
        constexpr int H = N / 2;
        const float* c = coefficients.values + (H - 1);
        float g[H];
        float h[H];
        for (int n = 0; n < H; ++n) {
            float a = x[n];
            float b = x[N - 1 - n];
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
    float w[8][4][N / 2] = {};
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

// Matrixes N subband samples x (destroyed) into the history block at position pos of channel
// ch: the DCT outputs are stored as X[N/2 .. N-1], X[0], X[N/2 - 1 .. 1], the order the
// window loop reads.
template <int N>
inline void Matrix(float* x, int ch) {
    SynthesisState& s = decoderState.synthesis;
    Dct<N>(x);
    float* z = s.history[ch] + s.position[ch];
    constexpr int H = N / 2;
    for (int j = 0; j < H; ++j)
        z[j] = x[H + j];
    z[H] = x[0];
    for (int j = 1; j < H; ++j)
        z[H + j] = x[H - j];
}

// Windows the history of channel ch into N output values, then steps the position.
template <int N>
inline void Window(int ch, float* out) {
    SynthesisState& s = decoderState.synthesis;
    constexpr int H = N / 2;
    const WindowTable<N>& t = WindowFor<N>();
    const float* hist = s.history[ch];
    int block = s.position[ch] / N;
    float s1[H] = {};
    float s2[H] = {};
    float s0 = 0.0f;
    for (int i = 0; i < 8; ++i) {
        const float* e = hist + ((block + 2 * i) & 15) * N;
        const float* o = hist + ((block + 2 * i + 1) & 15) * N + H;
        const float* w0 = t.w[i][0];
        const float* w1 = t.w[i][1];
        const float* w2 = t.w[i][2];
        const float* w3 = t.w[i][3];
        for (int j = 0; j < H; ++j) {
            s1[j] += w0[j] * e[j] + w1[j] * o[j];
            s2[j] += w2[j] * e[j] + w3[j] * o[j];
        }
        s0 += t.odd0[i] * o[-H];
    }
    out[0] = s1[0] + s0;
    for (int j = 1; j < H; ++j)
        out[j] = s1[j];
    out[H] = s2[0];
    for (int j = 1; j < H; ++j)
        out[N - j] = s2[j];
    s.position[ch] = (s.position[ch] - N) & (16 * N - 1);
}

template <int Width>
inline void Store(std::uint8_t* out, int index, float v) {
    if constexpr (Width == Width16) {
        std::int16_t s = ToPcm16(v);
        std::memcpy(out + 2 * index, &s, 2);
    } else if constexpr (Width == Width8) {
        out[index] = ToPcm8(v);
    } else {
        float f = v * (1.0f / 32768.0f);
        std::memcpy(out + 4 * index, &f, 4);
    }
}

template <int Width>
constexpr int BytesPerSample() {
    return Width == Width16 ? 2 : Width == Width8 ? 1 : 4;
}

// Gathers the N lowest subbands of one block (stride apart), with the equalizer at full rate.
template <int N>
inline void Gather(const float* in, int stride, float* x, bool equalize) {
    const SynthesisState& s = decoderState.synthesis;
    if (N == 32 && equalize && s.equalizerOn) {
        for (int k = 0; k < N; ++k)
            x[k] = in[k * stride] * s.gains[k];
    } else {
        for (int k = 0; k < N; ++k)
            x[k] = in[k * stride];
    }
}

// One block of one channel: matrix, window, convert into out at positions first, first+step...
template <int N, int Width>
inline void SynthesizeBlock(float* x, int ch, std::uint8_t* out, int first, int step) {
    Matrix<N>(x, ch);
    float pcm[N];
    Window<N>(ch, pcm);
    for (int j = 0; j < N; ++j)
        Store<Width>(out, first + j * step, pcm[j]);
}

template <int N, int Width, int Layout>
void Layer12Variant(const float* blocks, std::uint8_t* out, int blockCount) {
    constexpr int bytes = BytesPerSample<Width>();
    for (int b = 0; b < blockCount; ++b) {
        const float* in = blocks + 64 * b;
        float x[N];
        if constexpr (Layout == LayoutOneChannel) {
            Gather<N>(in, 1, x, true);
            SynthesizeBlock<N, Width>(x, 0, out, 0, 1);
            out += N * bytes;
        } else if constexpr (Layout == LayoutTwoChannels) {
            Gather<N>(in, 2, x, true);
            SynthesizeBlock<N, Width>(x, 0, out, 0, 2);
            Gather<N>(in + 1, 2, x, true);
            SynthesizeBlock<N, Width>(x, 1, out, 1, 2);
            out += 2 * N * bytes;
        } else if constexpr (Layout == LayoutMix) {
            for (int k = 0; k < N; ++k)
                x[k] = (in[2 * k] + in[2 * k + 1]) * 0.5f;
            SynthesizeBlock<N, Width>(x, 0, out, 0, 1);
            out += N * bytes;
        } else {
            Gather<N>(in + (Layout == LayoutSecond ? 1 : 0), 2, x, true);
            SynthesizeBlock<N, Width>(x, 0, out, 0, 1);
            out += N * bytes;
        }
    }
}

template <int N, int Width, bool TwoChannels>
void Layer3Variant(const float* subbands, std::uint8_t* out, int channel) {
    constexpr int bytes = BytesPerSample<Width>();
    for (int b = 0; b < 18; ++b) {
        float x[N];
        Gather<N>(subbands + 32 * b, 1, x, true);
        if constexpr (TwoChannels) {
            SynthesizeBlock<N, Width>(x, channel, out, channel, 2);
            out += 2 * N * bytes;
        } else {
            SynthesizeBlock<N, Width>(x, 0, out, 0, 1);
            out += N * bytes;
        }
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

int Clamp(int v, int lo, int hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

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
    return layer12Variants[Clamp(width, 0, 2)][Clamp(reduction, 0, 2)][Clamp(layout, 0, 4)];
}

Layer3Synthesis SelectLayer3Synthesis(int width, int reduction, bool twoChannels) {
    return layer3Variants[Clamp(width, 0, 2)][Clamp(reduction, 0, 2)][twoChannels ? 1 : 0];
}

int Layer12Layout(std::int32_t mode, const DecodeOptions& options) {
    if (mode == ModeSingleChannel) return LayoutOneChannel;
    return (options.conversion & ConvertChannelMask) + 1;
}

}  // namespace mpeg
