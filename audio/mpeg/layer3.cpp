#include "audio/mpeg/layer3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "audio/mpeg/layer3stages.h"
#include "audio/mpeg/state.h"
#include "audio/mpeg/tables.h"

namespace mpeg {
namespace {

// Frames never carry more main data than this (MPEG-1, 320 kbit/s at 32000 Hz: 1420 bytes);
// a longer claim only comes from damaged data and is cut, so the reservoir stays in bounds.
constexpr int MaxMainBytes = 1500;
constexpr int CompactThreshold = 6692;

void BuildTables(Layer3Tables& t) {
    const double pi = std::numbers::pi;
    for (int n = 0; n < 18; ++n) {
        for (int k = 0; k < 18; ++k) {
            t.imdct36[n][k] = static_cast<float>(std::cos(pi / 72.0 * (2 * n + 1) * (2 * k + 1)));
        }
    }
    for (int m = 0; m < 9; ++m) {
        for (int n = 0; n < 9; ++n) {
            auto even = static_cast<float>(std::cos(pi * (2 * n + 1) * (2 * m) / 36.0));
            auto odd = static_cast<float>(std::cos(pi * (2 * n + 1) * (2 * m + 1) / 36.0));
            for (int l = 0; l < 8; ++l) {
                if (l < 4) {
                    t.imdctEven[m][n][l] = even;
                    t.imdctOdd[m][n][l] = odd;
                }
                t.imdctEven8[m][n][l] = even;
                t.imdctOdd8[m][n][l] = odd;
            }
        }
    }
    for (int n = 0; n < 18; ++n) {
        t.imdctScale[n] = static_cast<float>(0.5 / std::cos(pi * (2 * n + 1) / 72.0));
    }
    for (int n = 0; n < 6; ++n) {
        for (int k = 0; k < 6; ++k) {
            t.imdct12[n][k] = static_cast<float>(std::cos(pi / 24.0 * (2 * n + 1) * (2 * k + 1)));
        }
    }
    // Window shapes: 0 normal, 1 start, 2 short (12 values), 3 stop.
    for (int i = 0; i < 36; ++i) {
        double normal = std::sin(pi / 36.0 * (i + 0.5));
        double start = i < 18   ? normal
                       : i < 24 ? 1.0
                       : i < 30 ? std::sin(pi / 12.0 * (i - 18 + 0.5))
                                : 0.0;
        double stop = i < 6    ? 0.0
                      : i < 12 ? std::sin(pi / 12.0 * (i - 6 + 0.5))
                      : i < 18 ? 1.0
                               : normal;
        double sign = i < 9 ? 1.0 : -1.0;
        t.window[0][i] = static_cast<float>(sign * normal);
        t.window[1][i] = static_cast<float>(sign * start);
        t.window[3][i] = static_cast<float>(sign * stop);
    }
    for (int i = 0; i < 36; ++i)
        t.window[2][i] = 0.0f;
    for (int i = 0; i < 12; ++i) {
        double sign = i < 3 ? 1.0 : -1.0;
        t.window[2][i] = static_cast<float>(sign * std::sin(pi / 12.0 * (i + 0.5)));
    }
    for (int i = 0; i < 8; ++i) {
        double c = AliasC[i];
        double root = std::sqrt(1.0 + c * c);
        t.aliasCs[i] = static_cast<float>(1.0 / root);
        t.aliasCa[i] = static_cast<float>(c / root);
    }
    for (int pos = 0; pos < 7; ++pos) {
        double s = std::sin(pos * pi / 12.0);
        double c = std::cos(pos * pi / 12.0);
        for (int ms = 0; ms < 2; ++ms) {
            double scale = ms ? std::sqrt(2.0) : 1.0;
            t.isRatio[ms][pos][0] = static_cast<float>(scale * s / (s + c));
            t.isRatio[ms][pos][1] = static_cast<float>(scale * c / (s + c));
        }
    }
    t.isRatio[0][7][0] = 1.0f;
    t.isRatio[0][7][1] = 0.0f;
    t.isRatio[1][7][0] = 1.0f;
    t.isRatio[1][7][1] = 1.0f;
    for (int scale = 0; scale < 2; ++scale) {
        double i0 = scale ? 1.0 / std::sqrt(2.0) : 1.0 / std::sqrt(std::sqrt(2.0));
        for (int pos = 0; pos < 32; ++pos) {
            double kl = 1.0;
            double kr = 1.0;
            if (pos % 2 == 1) {
                kl = std::pow(i0, (pos + 1) / 2);
            } else if (pos > 0) {
                kr = std::pow(i0, pos / 2);
            }
            t.isLsf[scale][pos][0] = static_cast<float>(kl);
            t.isLsf[scale][pos][1] = static_cast<float>(kr);
        }
    }
    for (int i = 0; i < 262; ++i)
        t.gain[i] = static_cast<float>(std::pow(2.0, (i - 156) / 4.0));
    for (int s = 0; s < 2; ++s) {
        for (int p = 0; p < 4; ++p) {
            for (int k = 0; k < 32; ++k) {
                t.scaleMul[s][p][k] = static_cast<float>(std::pow(2.0, -(s + 1) / 2.0 * (p + k)));
            }
        }
    }
    for (int j = 0; j < 8; ++j)
        t.subblockGain[j] = static_cast<float>(std::pow(2.0, -2.0 * j));
    for (int x = -32; x < 32; ++x) {
        t.pow43Small[x + 32] = static_cast<float>(x * std::cbrt(std::fabs(static_cast<double>(x))));
    }
    for (int xy = 0; xy < 256; ++xy) {
        int x = xy >> 4;
        int y = xy & 15;
        int count = (x != 0) + (y != 0);
        for (int signs = 0; signs < (1 << count); ++signs) {
            bool xNegative = x != 0 && ((signs >> (count - 1)) & 1);
            bool yNegative = y != 0 && (signs & 1);
            t.pairs[xy][signs][0] = t.pow43Small[32 + (xNegative ? -x : x)];
            t.pairs[xy][signs][1] = t.pow43Small[32 + (yNegative ? -y : y)];
        }
    }
    BuildHuffmanTables(t.huffman);
}

// Reads the side information of the frame; the reader stands after the header and CRC.
void ReadSideInfo(const FrameHeader& h, int channels, bool midSide) {
    Layer3State& l3 = decoderState.layer3;
    BitReader& r = decoderState.reader;
    SideInfo& si = l3.side;
    bool mpeg1 = h.version == 1;
    if (mpeg1) {
        si.mainDataBegin = static_cast<int>(r.Read(9));
        si.privateBits = static_cast<int>(r.Read(channels == 1 ? 5 : 3));
        for (int ch = 0; ch < channels; ++ch) {
            for (int band = 0; band < 4; ++band)
                si.scfsi[ch][band] = static_cast<int>(r.Read(1));
        }
    } else {
        si.mainDataBegin = static_cast<int>(r.Read(8));
        si.privateBits = static_cast<int>(r.Read(channels == 1 ? 1 : 2));
    }
    int granules = mpeg1 ? 2 : 1;
    for (int gr = 0; gr < granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            GranuleInfo& g = si.granule[gr][ch];
            g.part23Length = static_cast<int>(r.Read(12));
            g.bigValues = static_cast<int>(r.Read(9));
            g.globalGain = static_cast<int>(r.Read(8));
            if (midSide) g.globalGain -= 2;
            g.scalefacCompress = static_cast<int>(r.Read(mpeg1 ? 4 : 9));
            g.windowSwitching = static_cast<int>(r.Read(1));
            if (g.windowSwitching) {
                g.blockType = static_cast<int>(r.Read(2));
                g.mixedBlock = static_cast<int>(r.Read(1));
                for (int i = 0; i < 2; ++i)
                    g.tableSelect[i] = static_cast<int>(r.Read(5));
                g.tableSelect[2] = 0;
                for (int i = 0; i < 3; ++i)
                    g.subblockGain[i] = static_cast<int>(r.Read(3));
                if (!mpeg1 && g.blockType == 2) {
                    g.region0Count = 5;
                    g.region1Count = 15;
                } else {
                    g.region0Count = 7;
                    g.region1Count = 13;
                }
            } else {
                g.blockType = 0;
                g.mixedBlock = 0;
                for (int i = 0; i < 3; ++i)
                    g.tableSelect[i] = static_cast<int>(r.Read(5));
                for (int i = 0; i < 3; ++i)
                    g.subblockGain[i] = 0;
                g.region0Count = static_cast<int>(r.Read(4));
                g.region1Count = static_cast<int>(r.Read(3));
            }
            g.preflag = mpeg1 ? static_cast<int>(r.Read(1)) : 0;
            g.scalefacScale = static_cast<int>(r.Read(1));
            g.count1Table = static_cast<int>(r.Read(1));
        }
    }
}

// Decodes granule gr (spectrum slot) of every channel and writes its PCM at out.
void DecodeGranule(const FrameHeader& h, int channels, int gr, int slot, std::uint8_t* out,
                   int bitOffset) {
    Layer3State& l3 = decoderState.layer3;
    bool midSide = h.mode == ModeJointStereo && (h.modeExtension & 2) && channels == 2;
    bool intensity = h.mode == ModeJointStereo && (h.modeExtension & 1) && channels == 2;
    for (int ch = 0; ch < channels; ++ch) {
        const GranuleInfo& g = l3.side.granule[gr][ch];
        DecodeChannelSpectrum(h, gr, ch, slot, bitOffset, intensity && ch == 1);
        bitOffset += g.part23Length;
    }
    for (int ch = 0; ch < channels; ++ch)
        Requantize(h, gr, ch, slot);
    if (midSide || intensity) {
        ApplyStereo(h, gr, slot, midSide, intensity);
        int larger = std::max(l3.nonZero[0][slot], l3.nonZero[1][slot]);
        l3.nonZero[0][slot] = larger;
        l3.nonZero[1][slot] = larger;
    }
    for (int ch = 0; ch < channels; ++ch)
        ReduceAliases(gr, ch, slot);
    OutputGranule(channels, gr, slot, out);
}

}  // namespace

void Layer3Init() {
    // The tables never change once built; the player starts the decoder for every clip.
    Layer3Tables& t = decoderState.layer3.tables;
    if (t.built) return;
    BuildTables(t);
    t.built = true;
}

int Layer3Start(const FrameInfo& info) {
    DecoderState& s = decoderState;
    Layer3State& l3 = s.layer3;
    const FrameHeader& h = info.header;
    int rate = s.recordedSampleRate;
    int reduction = s.options.reduction;
    int n = 32 >> reduction;
    if (n > 8 && !s.liftBandLimits) n -= 1;
    int limit = rate > 0 ? (s.options.frequencyLimit * 64 + rate / 2) / rate : 0;
    l3.subbandLimit = std::clamp(limit, 0, n);

    int table = (h.version - 1) * 3 + h.sampleRateIndex;
    l3.longBounds = LongBandBounds[table];
    l3.shortBounds = ShortBandBounds[table];
    bool mpeg1 = h.version == 1;
    l3.longEnd = l3.longBounds[mpeg1 || s.liftBandLimits ? 22 : 21];
    l3.shortEnd = 3 * l3.shortBounds[mpeg1 || s.liftBandLimits ? 13 : 12];
    l3.lineLimit = std::min(l3.longEnd + 8, l3.subbandLimit * 18);
    l3.longEnd = std::min(l3.longEnd, l3.lineLimit);
    l3.shortEnd = std::min(l3.shortEnd, l3.lineLimit);
    l3.subbandsProduced = (l3.lineLimit + 17) / 18;
    l3.mixedLongBands = mpeg1 ? 8 : 6;

    int conversion = s.options.conversion & ConvertChannelMask;
    bool single = h.mode == ModeSingleChannel;
    l3.synthesis =
        SelectLayer3Synthesis(SynthesisWidth(s.options), reduction, !single && conversion == 0);
    if (single) {
        l3.path = PathFirst;
    } else {
        constexpr int paths[4] = {PathBoth, PathMix, PathFirst, PathSecond};
        l3.path = paths[conversion];
    }

    l3.fill = 0;
    l3.mainStart = 0;
    l3.slot = 0;
    std::memset(l3.spectrum, 0, sizeof l3.spectrum);
    std::memset(l3.nonZero, 0, sizeof l3.nonZero);
    std::memset(l3.subbands, 0, sizeof l3.subbands);
    l3.blockFilled[0] = 0;
    l3.blockFilled[1] = 0;
    return 1;
}

void Layer3DecodeFrame(const FrameHeader& h, const std::uint8_t* frame, std::uint8_t* out) {
    DecoderState& s = decoderState;
    Layer3State& l3 = s.layer3;
    int channels = h.mode == ModeSingleChannel ? 1 : 2;
    bool mpeg1 = h.version == 1;
    bool midSide = h.mode == ModeJointStereo && (h.modeExtension & 2) && channels == 2;

    int headerBytes = 4 + (h.crcPresent ? 2 : 0);
    s.reader.Start(frame, s.frameLength);
    s.reader.Skip(headerBytes * 8);
    ReadSideInfo(h, channels, midSide);
    int sideBytes = mpeg1 ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17);

    // Bit reservoir.
    int mainBytes = std::clamp(s.frameLength - headerBytes - sideBytes, 0, MaxMainBytes);
    int begin = l3.side.mainDataBegin;
    l3.mainStart = l3.fill - begin;
    if (l3.fill > CompactThreshold) {
        int keep = std::min(begin, l3.fill);
        std::memmove(l3.mainData, l3.mainData + l3.fill - keep, static_cast<std::size_t>(keep));
        l3.mainStart = keep - begin;
        l3.fill = keep;
    }
    std::memcpy(l3.mainData + l3.fill, frame + headerBytes + sideBytes,
                static_cast<std::size_t>(mainBytes));
    l3.fill += mainBytes;
    if (l3.mainStart < 0) return;

    int bitOffset = l3.mainStart * 8;
    if (mpeg1) {
        DecodeGranule(h, channels, 0, 0, out, bitOffset);
        for (int ch = 0; ch < channels; ++ch)
            bitOffset += l3.side.granule[0][ch].part23Length;
        DecodeGranule(h, channels, 1, 1, out + s.streamPcmBytes / 2, bitOffset);
    } else {
        DecodeGranule(h, channels, 0, l3.slot, out, bitOffset);
        l3.slot ^= 1;
    }
}

}  // namespace mpeg
