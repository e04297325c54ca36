// The synthesis variants built for processors with AVX2 and FMA.
#include "audio/mpeg/synthesiskernels.h"
#include "audio/mpeg/synthesisvariants.h"

namespace mpeg::avx2 {

Layer12Synthesis Layer12Variant(int width, int reduction, int layout) {
    return layer12Variants[width][reduction][layout];
}

Layer3Synthesis Layer3Variant(int width, int reduction, bool twoChannels) {
    return layer3Variants[width][reduction][twoChannels ? 1 : 0];
}

}  // namespace mpeg::avx2
