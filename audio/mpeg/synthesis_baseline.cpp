// The synthesis variants built for the baseline instruction set.
#include "audio/mpeg/synthesiskernels.h"
#include "audio/mpeg/synthesisvariants.h"

namespace mpeg::baseline {

Layer12Synthesis Layer12Variant(int width, int reduction, int layout) {
    return layer12Variants[width][reduction][layout];
}

Layer3Synthesis Layer3Variant(int width, int reduction, bool twoChannels) {
    return layer3Variants[width][reduction][twoChannels ? 1 : 0];
}

}  // namespace mpeg::baseline
