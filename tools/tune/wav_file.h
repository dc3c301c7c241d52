#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tune {

// Writes interleaved 16-bit PCM as a WAV file. Throws std::runtime_error on failure.
void write_wav(const std::string &path, const std::vector<std::int16_t> &pcm, int channels,
               int sample_rate);

} // namespace tune
