// Placeholder Layer I/II decoders: every stream is refused until the real decoders exist.
#include "audio/mpeg/layer12.h"

namespace mpeg {

void Layer12Init() {}
int Layer1Start(const FrameInfo&) {
    return 0;
}
int Layer2Start(const FrameInfo&) {
    return 0;
}
void Layer1DecodeFrame(const FrameHeader&, const std::uint8_t*, std::uint8_t*) {}
void Layer2DecodeFrame(const FrameHeader&, const std::uint8_t*, std::uint8_t*) {}

}  // namespace mpeg
