// The piece through tune-composer: the committed hash (which pins every rendered sample), the
// command line's exit codes, and an onset in the committed data/tune.mp3 at every scene cut.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>
#include <sys/wait.h>

#include "composition.h"
#include "pcm.h"
#include "timing.h"

namespace {

const std::string kRoot = DEMO_SOURCE_DIR, kTool = TUNE_COMPOSER;

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

TEST(Cli, HashIsTheCommittedOneAndExitCodesHold) {
    // A hash that ignored its input would match a committed hash forever: a published vector.
    EXPECT_EQ(tune::fnv1a64(reinterpret_cast<const std::uint8_t *>("foobar"), 6),
              0x85944171f73967e8ull);
    std::string committed = "tools/tune/tune.hash is missing";
    std::ifstream(kRoot + "/tools/tune/tune.hash") >> committed;
    // Help 0; usage errors 2 with the usage; an unwritable output 1, before rendering, naming it.
    const char *usage = "[--out FILE.mp3] [--wav FILE.wav] [--hash]";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--hash", 0, committed + "\n"}, // the rendered samples changed: re-render and rehash
        {"--help", 0, usage},
        {"", 2, usage},
        {"--bogus", 2, usage},
        {"--out", 2, usage},
        {"--out /nonexistent-dir/tune.mp3", 1, "/nonexistent-dir/tune.mp3"},
        {"--wav /nonexistent-dir/tune.wav --hash", 1, "/nonexistent-dir/tune.wav"}};
    for (const auto &[args, want, says] : cases) {
        int status = -1;
        std::string out =
            sh("'" + kTool + "' " + args + (want ? " 2>&1" : " 2>/dev/null"), &status);
        EXPECT_EQ(status, want) << args;
        EXPECT_NE(out.find(says), std::string::npos) << args << ": " << out;
    }
}

TEST(TuneMp3, EverySectionStartsWithAnOnset) {
    int status = 0;
    const std::string raw =
        sh("ffmpeg -v error -i '" + kRoot + "/data/tune.mp3' -f s16le -ac 1 -ar 44100 -", &status);
    ASSERT_EQ(status, 0);
    // Running sum of squares over the mono samples: the power of any stretch in two look-ups.
    std::vector<double> sum{0.0};
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        std::int16_t v; // little-endian hosts
        std::memcpy(&v, &raw[i], 2);
        sum.push_back(sum.back() + (v / 32768.0) * (v / 32768.0));
    }
    auto power = [&](long from, long n) { return (sum.at(from + n) - sum.at(from)) / n + 1e-12; };
    for (size_t s = 1; s < tune::sections().size(); ++s) {
        const double heard = tune::sections()[s].cut + tune::kPictureLag;
        // The largest rise from the 30 ms before to the 20 ms after any instant within 50 ms.
        double db = -1e9, when = 0.0;
        for (double c = heard - 0.05; c <= heard + 0.05; c += 0.001) {
            const long i = static_cast<long>(c * tune::kSampleRate);
            const double rise = 10.0 * std::log10(power(i, 882) / power(i - 1323, 1323));
            if (rise > db) db = rise, when = c;
        }
        EXPECT_GE(db, 6.0) << tune::sections()[s].name << " at " << heard << " s";
        EXPECT_NEAR(when, heard, 0.05) << tune::sections()[s].name;
    }
}

} // namespace
