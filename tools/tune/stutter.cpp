#include <cstddef>
#include "stutter.h"

#include <algorithm>

namespace tune {

namespace {
constexpr double kFadeSeconds = 0.0015;

long to_frame(double seconds, double fs) {
    return static_cast<long>(seconds * fs + 0.5);
}
} // namespace

void apply_stutter(std::vector<float> &stereo, const std::vector<StutterSegment> &segments,
                   double fs) {
    const long frames = static_cast<long>(stereo.size() / 2);
    const long fade = std::max(1L, to_frame(kFadeSeconds, fs));
    const std::vector<float> source = stereo;

    // Frames covered by some segment; live audio is faded where it meets them.
    std::vector<char> covered(static_cast<std::size_t>(frames), 0);
    for (const auto &seg : segments) {
        long a = std::clamp(to_frame(seg.start, fs), 0L, frames);
        long b = std::clamp(to_frame(seg.end, fs), 0L, frames);
        long slice = std::max(2 * fade, to_frame(seg.slice, fs));
        for (long i = a; i < b; ++i) {
            covered[static_cast<std::size_t>(i)] = 1;
            long pos = (i - a) % slice;
            long to_end = std::min(slice - pos, b - i);
            double w = std::min({1.0, static_cast<double>(pos + 1) / fade,
                                 static_cast<double>(to_end) / fade}) *
                       seg.gain;
            for (int c = 0; c < 2; ++c)
                stereo[static_cast<std::size_t>(2 * i + c)] =
                    static_cast<float>(source[static_cast<std::size_t>(2 * (a + pos) + c)] * w);
        }
    }
    // Live audio fades out into a run of segments and back in after it.
    std::vector<long> dist(static_cast<std::size_t>(frames), fade);
    long last = -fade;
    for (long i = 0; i < frames; ++i) {
        if (covered[static_cast<std::size_t>(i)])
            last = i;
        else
            dist[static_cast<std::size_t>(i)] = std::min(fade, i - last);
    }
    long next = frames + fade;
    for (long i = frames - 1; i >= 0; --i) {
        if (covered[static_cast<std::size_t>(i)])
            next = i;
        else
            dist[static_cast<std::size_t>(i)] =
                std::min(dist[static_cast<std::size_t>(i)], next - i);
    }
    for (long i = 0; i < frames; ++i) {
        long d = dist[static_cast<std::size_t>(i)];
        if (covered[static_cast<std::size_t>(i)] || d >= fade) continue;
        auto w = static_cast<float>(static_cast<double>(d) / fade);
        stereo[static_cast<std::size_t>(2 * i)] *= w;
        stereo[static_cast<std::size_t>(2 * i + 1)] *= w;
    }
}

} // namespace tune
