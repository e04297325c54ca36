// The stages of Layer III granule decoding, in the order they run. Each works on the module
// state (decoderState.layer3) for granule gr of the side information and spectrum slot slot.
#pragma once

#include <cstdint>

#include "audio/mpeg/frame.h"

namespace mpeg {

// Scale factors and Huffman decoding of one channel whose part 2 and 3 starts bitOffset bits
// into the main-data buffer; leaves integers in the spectrum and sets the non-zero count.
// intensityRight: the channel is the right channel of an intensity-stereo frame.
void DecodeChannelSpectrum(const FrameHeader& h, int gr, int ch, int slot, int bitOffset,
                           bool intensityRight);

// Requantisation in place (short blocks reordered window-interleaved), fills the band record.
void Requantize(const FrameHeader& h, int gr, int ch, int slot);

// Mid/side and intensity stereo.
void ApplyStereo(const FrameHeader& h, int gr, int slot, bool midSide, bool intensity);

// Alias reduction of one channel.
void ReduceAliases(int gr, int ch, int slot);

// Hybrid stage, frequency inversion and synthesis of the granule by the stream's output path.
void OutputGranule(int channels, int gr, int slot, std::uint8_t* out);

}  // namespace mpeg
