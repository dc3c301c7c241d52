#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tune {

struct Mp3Options {
    int bitrate_kbps = 192; // constant bitrate
    int quality = 2;        // LAME's algorithm quality, 0 best .. 9 fastest
    std::string title;
};

// Encodes interleaved 16-bit stereo to a complete MP3 file image: ID3v2 tag, the LAME info frame
// (which carries the encoder delay and padding so decoders can trim them and keep music time 0 at
// file time 0), the audio, then an ID3v1 tag. Throws std::runtime_error on failure.
std::vector<std::uint8_t> encode_mp3(const std::vector<std::int16_t> &pcm, int sample_rate,
                                     const Mp3Options &options);

} // namespace tune
