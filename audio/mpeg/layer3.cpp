#include "audio/mpeg/layer3.h"

#include "audio/mpeg/state.h"

namespace mpeg {

void Layer3Init() {}
int Layer3Start(const FrameInfo&) {
    return 0;
}
void Layer3DecodeFrame(const FrameHeader&, const std::uint8_t*, std::uint8_t*) {}

}  // namespace mpeg
