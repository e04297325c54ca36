#include "audio/mpeg/state.h"

namespace mpeg {

DecoderState decoderState;

}  // namespace mpeg
