#include <cstddef>
#include "pcm.h"

#include "dsp_math.h"

namespace tune {

std::vector<std::int16_t> to_pcm16(const std::vector<float> &samples) {
    std::vector<std::int16_t> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        double v = floor_d(static_cast<double>(samples[i]) * 32767.0 + 0.5);
        if (v > 32767.0) v = 32767.0;
        if (v < -32768.0) v = -32768.0;
        pcm[i] = static_cast<std::int16_t>(v);
    }
    return pcm;
}

std::uint64_t fnv1a64(const std::uint8_t *data, std::size_t size, std::uint64_t hash) {
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::uint64_t pcm_hash(const std::vector<std::int16_t> &pcm) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::int16_t s : pcm) {
        auto u = static_cast<std::uint16_t>(s);
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(u & 0xff),
                                       static_cast<std::uint8_t>(u >> 8)};
        hash = fnv1a64(bytes, 2, hash);
    }
    return hash;
}

std::string hash_hex(std::uint64_t hash) {
    static const char digits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4) s[static_cast<std::size_t>(i)] = digits[hash & 0xf];
    return s;
}

} // namespace tune
