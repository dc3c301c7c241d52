#pragma once
#include <cstdint>
#include <string>
#include <cstddef>
#include <vector>

namespace tune {

// Rounds to 16-bit, clamping to the representable range.
std::vector<std::int16_t> to_pcm16(const std::vector<float> &samples);

// FNV-1a 64 over the bytes, samples taken little-endian whatever the host order.
std::uint64_t fnv1a64(const std::uint8_t *data, std::size_t size,
                      std::uint64_t hash = 0xcbf29ce484222325ull);
std::uint64_t pcm_hash(const std::vector<std::int16_t> &pcm);

std::string hash_hex(std::uint64_t hash);

} // namespace tune
