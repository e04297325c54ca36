// Layer III requantisation, stereo processing and alias reduction.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/mpeg/layer3stages.h"
#include "audio/mpeg/state.h"
#include "audio/mpeg/tables.h"

namespace mpeg {
namespace {

bool IsShortBlock(const GranuleInfo& g) {
    return g.windowSwitching && g.blockType == 2;
}

// Multiplies lines [start, end) (already x * |x|^(1/3)) by factor; returns whether any is
// non-zero.
inline bool ScaleLines(float* xr, int start, int end, float factor) {
    int nonZero = 0;
    for (int i = start; i < end; ++i) {
        float v = xr[i];
        nonZero |= v != 0.0f;
        xr[i] = v * factor;
    }
    return nonZero != 0;
}

}  // namespace

void Requantize(const FrameHeader& h, int gr, int ch, int slot) {
    (void)h;
    Layer3State& l3 = decoderState.layer3;
    const Layer3Tables& t = l3.tables;
    const GranuleInfo& g = l3.side.granule[gr][ch];
    const ScaleFactors& sf = l3.scalefactors[gr][ch];
    BandRecord& rec = l3.bands[ch];
    float* xr = l3.spectrum[ch][slot];
    int nonZero = l3.nonZero[ch][slot];

    rec.isShort = IsShortBlock(g);
    rec.blockType = g.windowSwitching ? g.blockType : 0;
    rec.mixed = rec.isShort && g.mixedBlock;
    rec.maxLongBand = -1;
    rec.maxShortBand[0] = rec.maxShortBand[1] = rec.maxShortBand[2] = -1;
    rec.firstShortBand = 0;
    rec.longBands = 0;

    float base = t.gain[std::clamp(g.globalGain + 6, 0, 261)];
    int scale = g.scalefacScale;
    const std::int16_t* lb = l3.longBounds;
    int longBandCount = rec.isShort ? (rec.mixed ? l3.mixedLongBands : 0) : 22;
    rec.longBands = longBandCount;
    for (int sfb = 0; sfb < longBandCount && lb[sfb] < nonZero; ++sfb) {
        int p = g.preflag ? Pretab[sfb] : 0;
        float factor = base * t.scaleMul[scale][p][sf.longBands[sfb] & 31];
        if (ScaleLines(xr, lb[sfb], std::min<int>(lb[sfb + 1], nonZero), factor)) {
            rec.maxLongBand = sfb;
        }
    }
    if (!rec.isShort) return;

    // Short windows: bands are coded window after window; reorder so that each subband holds
    // its six frequencies of the three windows interleaved.
    const std::int16_t* sb = l3.shortBounds;
    int first = rec.mixed ? 3 : 0;
    rec.firstShortBand = first;
    int startLine = 3 * sb[first];
    int endLine = startLine;
    for (int sfb = first; sfb < 13 && 3 * sb[sfb] < nonZero; ++sfb) {
        int width = sb[sfb + 1] - sb[sfb];
        int start = 3 * sb[sfb];
        for (int w = 0; w < 3; ++w) {
            float factor = base * t.subblockGain[g.subblockGain[w] & 7] *
                           t.scaleMul[scale][0][sf.shortBands[sfb][w] & 31];
            const float* in = xr + start + w * width;
            float* out = l3.scratch + start + w;
            int any = 0;
            for (int j = 0; j < width; ++j) {
                float v = in[j];
                any |= v != 0.0f;
                out[3 * j] = v * factor;
            }
            if (any) rec.maxShortBand[w] = sfb;
        }
        endLine = start + 3 * width;
    }
    std::memcpy(xr + startLine, l3.scratch + startLine,
                sizeof(float) * static_cast<std::size_t>(endLine - startLine));
    // Reordered lines above the line limit belong to subbands that are never produced.
    int limit = std::min(std::max(endLine, nonZero), l3.lineLimit);
    if (endLine > limit) {
        std::memset(xr + limit, 0, sizeof(float) * static_cast<std::size_t>(endLine - limit));
    }
    l3.nonZero[ch][slot] = std::max(std::min(endLine, limit), std::min(nonZero, limit));
}

void ApplyStereo(const FrameHeader& h, int gr, int slot, bool midSide, bool intensity) {
    Layer3State& l3 = decoderState.layer3;
    const Layer3Tables& t = l3.tables;
    float* left = l3.spectrum[0][slot];
    float* right = l3.spectrum[1][slot];
    int m = std::max(l3.nonZero[0][slot], l3.nonZero[1][slot]);
    if (midSide) {
        for (int i = 0; i < m; ++i) {
            float a = left[i];
            float b = right[i];
            left[i] = a + b;
            right[i] = a - b;
        }
    }
    if (!intensity) return;

    const BandRecord& rec = l3.bands[1];
    const ScaleFactors& sf = l3.scalefactors[gr][1];
    bool mpeg1 = h.version == 1;
    int scale = l3.side.granule[gr][1].scalefacCompress & 1;
    float boost = midSide ? std::sqrt(2.0f) : 1.0f;
    int limit = std::min(m, l3.lineLimit);

    // Ratio for one band; false when the position is illegal (the band stays as decoded).
    auto ratio = [&](int pos, int max, float& kl, float& kr) {
        if (mpeg1) {
            int p = std::min(pos, 7);
            kl = t.isRatio[midSide ? 1 : 0][p][0];
            kr = t.isRatio[midSide ? 1 : 0][p][1];
            return true;
        }
        if (pos == max) return false;
        kl = t.isLsf[scale][pos & 31][0] * boost;
        kr = t.isLsf[scale][pos & 31][1] * boost;
        return true;
    };
    auto longBands = [&](int from, int to) {
        const std::int16_t* lb = l3.longBounds;
        for (int sfb = from; sfb < to; ++sfb) {
            int start = lb[sfb];
            if (start >= limit) break;
            int end = std::min<int>(lb[sfb + 1], limit);
            int band = sfb < 21 ? sfb : 20;
            float kl;
            float kr;
            if (!ratio(sf.longBands[band], l3.longMax[band], kl, kr)) continue;
            for (int i = start; i < end; ++i) {
                float v = left[i];
                left[i] = v * kl;
                right[i] = v * kr;
            }
        }
    };

    if (!rec.isShort) {
        longBands(rec.maxLongBand + 1, 22);
        return;
    }
    const std::int16_t* sb = l3.shortBounds;
    int first = rec.firstShortBand;
    int common = std::max({rec.maxShortBand[0], rec.maxShortBand[1], rec.maxShortBand[2]});
    if (rec.mixed && common < first) longBands(rec.maxLongBand + 1, rec.longBands);
    for (int w = 0; w < 3; ++w) {
        int from = (mpeg1 ? common : rec.maxShortBand[w]) + 1;
        from = std::max(from, first);
        for (int sfb = from; sfb < 13; ++sfb) {
            int width = sb[sfb + 1] - sb[sfb];
            int start = 3 * sb[sfb] + w;
            if (3 * sb[sfb] >= limit) break;
            int band = sfb < 12 ? sfb : 11;
            float kl;
            float kr;
            if (!ratio(sf.shortBands[band][w], l3.shortMax[band], kl, kr)) continue;
            for (int j = 0; j < width; ++j) {
                int i = start + 3 * j;
                if (i >= limit) break;
                float v = left[i];
                left[i] = v * kl;
                right[i] = v * kr;
            }
        }
    }
}

void ReduceAliases(int gr, int ch, int slot) {
    Layer3State& l3 = decoderState.layer3;
    const GranuleInfo& g = l3.side.granule[gr][ch];
    bool mixed = IsShortBlock(g) && g.mixedBlock;
    if (IsShortBlock(g) && !mixed) return;
    float* xr = l3.spectrum[ch][slot];
    int nonZero = l3.nonZero[ch][slot];
    int k = mixed ? 1 : std::min((nonZero + 7) / 18, 31);
    const float* cs = l3.tables.aliasCs;
    const float* ca = l3.tables.aliasCa;
    // Eight butterflies across each boundary: the last eight lines of one subband (read
    // backwards) against the first eight of the next, four at a time.
    typedef float Vec4 __attribute__((vector_size(16)));
    Vec4 cs4[2];
    Vec4 ca4[2];
    std::memcpy(cs4, cs, sizeof cs4);
    std::memcpy(ca4, ca, sizeof ca4);
    for (int sb = 0; sb < k; ++sb) {
        float* lo = xr + 18 * sb + 17;
        float* hi = xr + 18 * sb + 18;
        for (int h = 0; h < 2; ++h) {
            float* l = lo - 4 * h;
            Vec4 a = {l[0], l[-1], l[-2], l[-3]};
            Vec4 b;
            std::memcpy(&b, hi + 4 * h, sizeof b);
            Vec4 na = a * cs4[h] - b * ca4[h];
            Vec4 nb = b * cs4[h] + a * ca4[h];
            for (int i = 0; i < 4; ++i)
                l[-i] = na[i];
            std::memcpy(hi + 4 * h, &nb, sizeof nb);
        }
    }
    if (k > 0) l3.nonZero[ch][slot] = std::max(nonZero, std::min(18 * k + 8, 576));
}

}  // namespace mpeg
