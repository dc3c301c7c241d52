// The whole piece: the render against the committed hash, its level and cleanliness; the committed
// data/tune.mp3 decoded with ffmpeg as the demo's player would see it; tune-composer's command
// line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <sndfile.h>
#include <string>
#include <tuple>
#include <sys/wait.h>
#include <unistd.h>

#include "composition.h"
#include "pcm.h"
#include "renderer.h"
#include "timing.h"

namespace {

using Pcm = std::vector<std::int16_t>;
constexpr double kFs = tune::kSampleRate;
const std::string kRoot = DEMO_SOURCE_DIR, kMp3 = kRoot + "/data/tune.mp3";

const tune::Rendering &piece() {
    static const tune::Rendering r = tune::render(tune::compose());
    return r;
}

std::string committed_hash() {
    std::ifstream f(kRoot + "/tools/tune/tune.hash");
    std::string h = "tools/tune/tune.hash is missing";
    f >> h;
    return h;
}

// Runs a shell command; returns its standard output and sets `status` to its exit code.
std::string sh(const std::string &cmd, int *status) {
    std::string out;
    FILE *p = popen(cmd.c_str(), "r");
    char buf[65536];
    for (size_t n; p && (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    int rc = p ? pclose(p) : -1;
    *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

int peak(const Pcm &pcm) {
    int p = 0;
    for (std::int16_t v : pcm) p = std::max(p, std::abs(int{v}));
    return p;
}

std::vector<double> mono(const Pcm &stereo) {
    std::vector<double> m(stereo.size() / 2);
    for (size_t i = 0; i < m.size(); ++i) m[i] = (stereo[2 * i] + stereo[2 * i + 1]) / 65536.0;
    return m;
}

// Running sum of squares: the energy of any stretch in two look-ups.
struct Energy {
    std::vector<double> sum{0.0};
    explicit Energy(const std::vector<double> &x) {
        for (double v : x) sum.push_back(sum.back() + v * v);
    }
    double total(long from, long to) const {
        return sum.at(static_cast<size_t>(to)) - sum.at(static_cast<size_t>(from));
    }
};

// The largest rise in power from the 30 ms before to the 20 ms after any instant within `window`
// seconds of `t`: (dB, when).
std::pair<double, double> rise(const Energy &e, double t, double window) {
    std::pair<double, double> best{-1e9, 0.0};
    for (double c = t - window; c <= t + window; c += 0.001) {
        const long i = static_cast<long>(c * kFs), before = 1323, after = 882;
        double db = 10.0 * std::log10((e.total(i, i + after) / after + 1e-12) /
                                      (e.total(i - before, i) / before + 1e-12));
        best = std::max(best, {db, c});
    }
    return best;
}

const Pcm &mp3() {
    static const Pcm pcm = [] {
        int status = 0;
        std::string raw =
            sh("ffmpeg -v error -i '" + kMp3 + "' -f s16le -ac 2 -ar 44100 -", &status);
        if (status != 0) throw std::runtime_error("ffmpeg could not decode " + kMp3);
        Pcm out(raw.size() / 2);
        std::memcpy(out.data(), raw.data(), out.size() * 2); // little-endian hosts
        return out;
    }();
    return pcm;
}

TEST(TuneMp3, IsTaggedLongEnoughAboutMinus14LufsAndBelowMinusPoint3Db) {
    int status = 0;
    std::string out = sh("ffmpeg -nostats -i '" + kMp3 + "' -af ebur128 -f null - 2>&1", &status);
    ASSERT_EQ(status, 0);
    // The encoder's tags and bit rate as a player reads them.
    EXPECT_TRUE(std::regex_search(out, std::regex("title\\s*: avada kedabra!")))
        << out.substr(0, 2000);
    EXPECT_NE(out.find("bitrate: 192 kb/s"), std::string::npos) << out.substr(0, 2000);
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(out, m, std::regex("Integrated loudness:\\s*I:\\s*(-?[0-9.]+) LUFS")))
        << out.substr(out.size() > 2000 ? out.size() - 2000 : 0);
    EXPECT_NEAR(std::stod(m[1]), -14.0, 1.0);
    EXPECT_GE(mp3().size() / 2, static_cast<size_t>(152 * kFs));
    EXPECT_LE(20.0 * std::log10(peak(mp3()) / 32768.0), -0.3);
}

TEST(TuneMp3, EverySectionStartsWithAnOnset) {
    const Energy e(mono(mp3()));
    for (size_t s = 1; s < tune::sections().size(); ++s) {
        const auto &sec = tune::sections()[s];
        const double heard = sec.cut + tune::kPictureLag;
        auto [db, when] = rise(e, heard, 0.05);
        EXPECT_GE(db, 6.0) << sec.name << " at " << heard << " s";
        EXPECT_NEAR(when, heard, 0.05) << sec.name;
    }
}

TEST(TuneMp3, IsTheCurrentRenderAlignedToTimeZero) {
    // A second from 60.5 s of the decoded file against the render: the best lag must be zero
    // (encoder delay trimmed) and the match close (the file is not stale).
    const std::vector<double> r = mono(piece().pcm), d = mono(mp3());
    auto match = [&](long lag) {
        double rr = 0, dd = 0, rd = 0;
        for (size_t i = 60 * 44100 + 22050, j = i + lag; i < 61 * 44100 + 22050; ++i, ++j) {
            rr += r[i] * r[i];
            dd += d[j] * d[j];
            rd += r[i] * d[j];
        }
        return rd / std::sqrt(rr * dd);
    };
    long best = 0;
    double top = -1.0;
    for (long lag = -2000; lag <= 2000; ++lag)
        if (double m = match(lag); m > top) top = m, best = lag;
    EXPECT_LE(std::abs(best), 1) << "decoded audio is offset by " << best << " samples";
    EXPECT_GT(top, 0.98) << "data/tune.mp3 does not match the current render";
}

const std::string kTool = TUNE_COMPOSER;

TEST(Cli, ExitCodesAndMessages) {
    // Help 0; usage errors 2 with the usage; an unwritable output 1, before rendering, naming it.
    const char *usage = "[--out FILE.mp3] [--wav FILE.wav] [--hash]";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--help", 0, usage},
        {"", 2, usage}, // nothing to do
        {"--bogus", 2, usage},
        {"--out", 2, usage}, // missing file name
        {"--out /nonexistent-dir/tune.mp3", 1, "/nonexistent-dir/tune.mp3"},
        {"--wav /nonexistent-dir/tune.wav --hash", 1, "/nonexistent-dir/tune.wav"}};
    for (const auto &[args, want, says] : cases) {
        int status = -1;
        std::string out = sh("'" + kTool + "' " + args + (want ? " 2>&1" : ""), &status);
        EXPECT_EQ(status, want) << args;
        EXPECT_NE(out.find(says), std::string::npos) << args << ": " << out;
    }
}

// The hash pins every sample: the render it was taken from had been checked for its -14 LUFS, its
// -1 dB ceiling and its fade to silence by 151 s. The tool renders with the same code as piece().
TEST(Cli, HashAndWavCarryTheRender) {
    const std::string wav = ::testing::TempDir() + "tune_" + std::to_string(::getpid()) + ".wav";
    int status = -1;
    EXPECT_EQ(sh("'" + kTool + "' --hash --wav '" + wav + "' 2>/dev/null", &status),
              committed_hash() + "\n")
        << "the rendered samples changed; if intended, re-render data/tune.mp3 and update the hash";
    EXPECT_EQ(status, 0);
    SF_INFO info{};
    SNDFILE *in = sf_open(wav.c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    Pcm back(static_cast<size_t>(info.frames) * 2);
    sf_readf_short(in, back.data(), info.frames);
    sf_close(in);
    std::remove(wav.c_str());
    EXPECT_TRUE(back == piece().pcm) << "the WAV's samples are not the render's";
}

} // namespace
