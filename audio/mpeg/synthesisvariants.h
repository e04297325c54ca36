// Variant tables of the synthesis, one set per instruction set.
#pragma once

#include "audio/mpeg/synthesis.h"

namespace mpeg {

namespace baseline {
Layer12Synthesis Layer12Variant(int width, int reduction, int layout);
Layer3Synthesis Layer3Variant(int width, int reduction, bool twoChannels);
}  // namespace baseline

// Whether the decoder runs the AVX2 and FMA builds of the kernels: the processor has them and
// the tests have not asked for the baseline ones (x86-64 builds only).
bool UseAvx2Kernels();

// Present when the build targets x86-64; used when the processor has AVX2 and FMA.
namespace avx2 {
Layer12Synthesis Layer12Variant(int width, int reduction, int layout);
Layer3Synthesis Layer3Variant(int width, int reduction, bool twoChannels);
}  // namespace avx2

}  // namespace mpeg
