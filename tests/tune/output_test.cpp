// 16-bit conversion, the PCM hash and the file writers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sndfile.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "mp3_encoder.h"
#include "pcm.h"
#include "wav_file.h"

namespace {

TEST(Pcm, RoundsAndClamps) {
    auto pcm = tune::to_pcm16(
        {0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 0.51f / 32767, -0.49f / 32767, 100.4f / 32767});
    std::vector<std::int16_t> want = {0, 32767, -32767, 32767, -32768, 1, 0, 100};
    EXPECT_EQ(pcm, want);
}

TEST(Pcm, HashIsFnv1a64OverLittleEndianSamples) {
    auto str = [](const char *s) {
        return tune::fnv1a64(reinterpret_cast<const std::uint8_t *>(s), std::strlen(s));
    };
    // Published FNV-1a 64 test vectors.
    EXPECT_EQ(str(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(str("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(str("foobar"), 0x85944171f73967e8ull);
    const std::uint8_t bytes[4] = {0x01, 0x02, 0xff, 0x7f};
    EXPECT_EQ(tune::pcm_hash({0x0201, 0x7fff}), tune::fnv1a64(bytes, 4));
    EXPECT_NE(tune::pcm_hash({0x0201, 0x7fff}), tune::pcm_hash({0x7fff, 0x0201}));
    EXPECT_EQ(tune::hash_hex(0x00ab00000000cd01ull), "00ab00000000cd01");
}

class TempFile {
  public:
    explicit TempFile(const char *suffix) {
        path_ = ::testing::TempDir() + "tune_" + std::to_string(::getpid()) + suffix;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string &path() const { return path_; }

  private:
    std::string path_;
};

std::vector<std::int16_t> tone(int frames) {
    std::vector<std::int16_t> pcm(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        pcm[2 * static_cast<size_t>(i)] = static_cast<std::int16_t>(8000 * std::sin(i * 0.0627));
        pcm[2 * static_cast<size_t>(i) + 1] = static_cast<std::int16_t>(i % 300 - 150);
    }
    return pcm;
}

TEST(WavFile, WritesWhatReadsBack) {
    TempFile f(".wav");
    auto pcm = tone(5000);
    tune::write_wav(f.path(), pcm, 2, 44100);
    SF_INFO info{};
    SNDFILE *in = sf_open(f.path().c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.frames, 5000);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::vector<std::int16_t> back(pcm.size());
    EXPECT_EQ(sf_readf_short(in, back.data(), 5000), 5000);
    sf_close(in);
    EXPECT_EQ(back, pcm);
}

TEST(WavFile, ReportsAnUnwritablePath) {
    EXPECT_THROW(tune::write_wav("/nonexistent-dir/x.wav", tone(10), 2, 44100), std::runtime_error);
}

TEST(Mp3Encoder, WritesTagsAndAnInfoFrameAtTheRightPlaces) {
    tune::Mp3Options opts;
    opts.title = "avada kedabra!";
    auto mp3 = tune::encode_mp3(tone(44100), 44100, opts);
    ASSERT_GT(mp3.size(), 1000u);
    ASSERT_EQ(std::string(mp3.begin(), mp3.begin() + 3), "ID3");
    // ID3v2 size: four 7-bit bytes after the 6-byte header start.
    size_t id3 = 10 + ((size_t(mp3[6]) << 21) | (size_t(mp3[7]) << 14) | (size_t(mp3[8]) << 7) |
                       size_t(mp3[9]));
    ASSERT_LT(id3 + 4, mp3.size());
    std::string whole(mp3.begin(), mp3.end());
    EXPECT_NE(whole.find("avada kedabra!"), std::string::npos);
    // An MPEG-1 layer III frame sync right after the tag, carrying the LAME info frame.
    EXPECT_EQ(mp3[id3], 0xff);
    EXPECT_EQ(mp3[id3 + 1] & 0xfe, 0xfa);
    size_t info = whole.find("Info", id3);
    ASSERT_NE(info, std::string::npos);
    EXPECT_LT(info, id3 + 64);
    EXPECT_EQ(whole.compare(mp3.size() - 128, 3, "TAG"), 0); // ID3v1 at the end
    // 192 kbit/s for ~1 s of audio.
    EXPECT_NEAR(static_cast<double>(mp3.size()), 192000 / 8.0, 4000);
}

} // namespace
