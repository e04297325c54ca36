// The player on arbitrary clips (raw MPEG audio or RIFF-wrapped): open, cue a range taken from
// the first bytes, play, stop and play again, all into a capturing sound device.
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/audioplayer.h"
#include "platform/media/capturewaveout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::memcpy(&start, data, 4);
    std::memcpy(&end, data + 4, 4);
    start %= 20000;
    end %= 40000;
    media::CaptureWaveOutDriver driver;
    CAudioPlayer player(driver);
    if (player.Open(std::vector<std::uint8_t>(data + 8, data + size)) != 0) return 0;
    player.Cue(start, end);
    player.Play();
    player.Stop();
    player.Cue(0, 0xFFFFFFFFu);
    player.Play();
    return 0;
}
