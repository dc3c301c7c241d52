// The 16-bit output and the hash the committed tools/tune/tune.hash is compared by. Every other
// building block of the synthesizer is pinned by that hash over the whole render (piece_test.cpp):
// a fault in any of them changes the rendered samples.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "pcm.h"
#include "wav_file.h"

namespace {

TEST(Pcm, RoundsAndClampsAndHashesAsFnv1a64OverLittleEndianSamples) {
    auto pcm = tune::to_pcm16(
        {0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 0.51f / 32767, -0.49f / 32767, 100.4f / 32767});
    EXPECT_EQ(pcm, std::vector<std::int16_t>({0, 32767, -32767, 32767, -32768, 1, 0, 100}));
    // A published FNV-1a 64 vector: a hash that ignored its input would pass the piece's
    // committed-hash check forever.
    EXPECT_EQ(tune::fnv1a64(reinterpret_cast<const std::uint8_t *>("foobar"), 6),
              0x85944171f73967e8ull);
    const std::uint8_t bytes[4] = {0x01, 0x02, 0xff, 0x7f};
    EXPECT_EQ(tune::pcm_hash({0x0201, 0x7fff}), tune::fnv1a64(bytes, 4));
    EXPECT_EQ(tune::hash_hex(0x00ab00000000cd01ull), "00ab00000000cd01");
    EXPECT_THROW(tune::write_wav("/nonexistent-dir/x.wav", pcm, 2, 44100), std::runtime_error);
}

} // namespace
