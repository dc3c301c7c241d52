// The offsets between picture and sound in one capture of the demo (see sync.sh), on one clock.
//   sync_offsets demo DIR [--goal]   for each scene cut reached: when its first frame was on screen
//                                     and when its section's first hit (music time cut + 0.2 s) was
//                                     heard, and whether their median is inside EBU R37 (sound at
//                                     most 40 ms early, 60 ms late); with --goal, exit 1 unless
//                                     five cuts or more were reached and all of them but one are
//                                     within 50 ms of their median: picture and music on one
//                                     clock, neither drifting from the other. The offset itself
//                                     is left out of the goal: it holds the sound server's latency
//                                     and the harness's own bias, both the machine's (a stall of
//                                     the demo or of the grab moves one cut)
//   sync_offsets calibrate DIR        the same for clicks played as the screen changed colour
// DIR holds frames.rgb (8x4 RGB a frame) and frames.pts (each frame's wall-clock microseconds),
// audio.f32 (mono at 8 kHz) and audio.pts (each block's wall clock in samples and its length), and
// for a demo run reference.f32 (the tune, mono at 8 kHz) and latency.log (wall seconds, the
// stream's buffer and the sink's latency in microseconds), and where they were written,
// swaps.log (each swap's wall-clock microseconds and the red level of the picture's middle) or,
// for a calibration, marks.log (each click's wall seconds when written and when its colour was
// set): with them each offset is split into its two sides, the grab's delay after the swap (or
// the colour) and the sound heard after the swap (or the click written).
#include "timeline/scene_cuts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 8000;
constexpr int FrameBytes = 8 * 4 * 3;
constexpr double HitAfterCut = 0.2;

template <typename T> std::vector<T> load(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<T> values;
    for (T v; in.read(reinterpret_cast<char *>(&v), sizeof v);) values.push_back(v);
    return values;
}
std::vector<double> numbers(const std::string &path, int per_line, int column) {
    std::ifstream in(path);
    std::vector<double> values;
    for (std::string line; std::getline(in, line);) {
        const char *p = line.c_str();
        char *end = nullptr;
        for (int c = 0; c < per_line; ++c, p = end) {
            double v = std::strtod(p, &end);
            if (end == p) break;
            if (c == column) values.push_back(v);
        }
    }
    return values;
}

struct Capture {
    std::vector<double> frame_at, change; // change[i]: mean difference from frame i - 1, 0..255
    std::vector<float> audio;
    double audio_start = 0;

    explicit Capture(const std::string &dir) {
        frame_at = numbers(dir + "/frames.pts", 1, 0);
        for (double &at : frame_at) at /= 1e6;
        std::vector<unsigned char> rgb = load<unsigned char>(dir + "/frames.rgb");
        size_t frames = std::min(frame_at.size(), rgb.size() / FrameBytes);
        frame_at.resize(frames);
        change.assign(frames, 0.0);
        for (size_t i = 1; i < frames; ++i) {
            int sum = 0;
            for (int b = 0; b < FrameBytes; ++b)
                sum += std::abs(rgb[i * FrameBytes + b] - rgb[(i - 1) * FrameBytes + b]);
            change[i] = sum / double(FrameBytes);
        }
        audio = load<float>(dir + "/audio.f32");
        // Each block's stamp is the wall clock less the latency the server then reported, which
        // wobbles; the samples themselves are contiguous. The median of stamp less position holds.
        std::vector<double> pts = numbers(dir + "/audio.pts", 2, 0),
                            size = numbers(dir + "/audio.pts", 2, 1);
        std::vector<double> starts;
        double position = 0;
        for (size_t i = 0; i < pts.size() && i < size.size(); position += size[i++])
            starts.push_back((pts[i] - position) / Rate);
        std::sort(starts.begin(), starts.end());
        audio_start = starts.empty() ? 0 : starts[starts.size() / 2];
    }
    // The frame that changed most in [from, to] wall seconds (only changes above 2 count): its
    // capture time, or NAN.
    double picture_change(double from, double to) const {
        double best = 2.0, at = NAN;
        for (size_t i = 1; i < frame_at.size(); ++i)
            if (frame_at[i] >= from && frame_at[i] <= to && change[i] > best)
                best = change[i], at = frame_at[i];
        return at;
    }
};

// The swap in [from, to] wall seconds whose picture's middle stepped most: its time, or NAN.
struct Swaps {
    std::vector<double> at, red;
    explicit Swaps(const std::string &dir)
        : at(numbers(dir + "/swaps.log", 2, 0)), red(numbers(dir + "/swaps.log", 2, 1)) {
        for (double &t : at) t /= 1e6;
    }
    double step(double from, double to) const {
        double best = 0, when = NAN;
        for (size_t i = 1; i < at.size() && i < red.size(); ++i)
            if (at[i] >= from && at[i] <= to && std::fabs(red[i] - red[i - 1]) > best)
                best = std::fabs(red[i] - red[i - 1]), when = at[i];
        return when;
    }
};

// Where in `rec` the piece of `ref` from `ref_at` (`length` samples) sits best, searched over
// [from, to): the start with the highest normalized correlation.
long find(const std::vector<float> &ref, long ref_at, long length, const std::vector<float> &rec,
          long from, long to, double &score) {
    score = -1;
    long best = -1;
    double ref_energy = 1e-12;
    for (long k = 0; k < length; ++k) ref_energy += double(ref[ref_at + k]) * ref[ref_at + k];
    to = std::min(to, long(rec.size()) - length);
    for (long p = std::max(0L, from); p < to; ++p) {
        double cross = 0, energy = 1e-12;
        for (long k = 0; k < length; ++k) {
            cross += double(ref[ref_at + k]) * rec[p + k];
            energy += double(rec[p + k]) * rec[p + k];
        }
        double c = cross / std::sqrt(ref_energy * energy);
        if (c > score) score = c, best = p;
    }
    return best;
}

int demo(const std::string &dir, bool goal) {
    Capture cap(dir);
    std::vector<float> ref = load<float>(dir + "/reference.f32");
    std::vector<double> lat_at = numbers(dir + "/latency.log", 3, 0),
                        buffer = numbers(dir + "/latency.log", 3, 1),
                        sink = numbers(dir + "/latency.log", 3, 2);
    const Swaps swaps(dir);
    std::printf("| cut (s) | picture to sound (ms) | server latency (ms) | match | grab after swap "
                "(ms) | sound after swap (ms) |\n|---|---|---|---|---|---|\n");
    std::vector<double> found;
    long lag = -1; // recording sample minus music sample, once known
    for (int s = 1; s < SceneCount - 1; ++s) {
        const double hit = SceneCuts[s].start + HitAfterCut;
        const long ref_at = long((hit - 0.5) * Rate), length = Rate;
        if (ref_at + length > long(ref.size())) break;
        // The first cut is looked for anywhere in the first 20 s; the next ones near the last lag.
        const long from = lag < 0 ? ref_at : ref_at + lag - Rate / 2;
        const long to = lag < 0 ? ref_at + 20 * Rate : ref_at + lag + Rate / 2;
        double score = 0;
        long at = find(ref, ref_at, length, cap.audio, from, to, score);
        if (at < 0 || score < 0.5) break;
        lag = at - ref_at;
        const double heard = cap.audio_start + (at + 0.5 * Rate) / double(Rate);
        // The real shaders on a software renderer take a frame of a few hundred ms: the picture can
        // be that much later than at 60 Hz.
        const double shown = cap.picture_change(heard - 0.6, heard + 1.2);
        if (std::isnan(shown)) {
            std::printf("| %.1f | no picture change found | | %.2f |\n", SceneCuts[s].start, score);
            continue;
        }
        double latency = NAN, nearest = 1e9;
        for (size_t i = 0; i < lat_at.size() && i < buffer.size() && i < sink.size(); ++i)
            if (std::fabs(lat_at[i] - heard) < nearest)
                nearest = std::fabs(lat_at[i] - heard), latency = (buffer[i] + sink[i]) / 1000.0;
        const double offset = (heard - shown) * 1000.0, swapped = swaps.step(shown - 0.5, shown);
        found.push_back(offset);
        std::printf("| %.1f | %+.0f | %.0f | %.2f | %+.0f | %+.0f |\n", SceneCuts[s].start, offset,
                    latency, score, (shown - swapped) * 1000.0, (heard - swapped) * 1000.0);
    }
    if (found.empty()) return std::puts("no cut reached"), 1;
    std::sort(found.begin(), found.end());
    const double median = found[found.size() / 2];
    const long apart = std::count_if(
        found.begin(), found.end(), [&](double offset) { return std::fabs(offset - median) > 50; });
    std::printf("%zu cuts reached, median %+.0f ms (%s EBU R37), spread %.0f ms, %ld more than "
                "50 ms from the median\n",
                found.size(), median, median >= -40.0 && median <= 60.0 ? "inside" : "outside",
                found.back() - found.front(), apart);
    return goal && (found.size() < 5 || apart > 1) ? 1 : 0;
}

int calibrate(const std::string &dir) {
    Capture cap(dir);
    const std::vector<double> written = numbers(dir + "/marks.log", 2, 0),
                              coloured = numbers(dir + "/marks.log", 2, 1);
    double sum = 0, low = 1e9, high = -1e9, heard_late = 0, shown_late = 0, colour_late = 0;
    int n = 0, marked = 0;
    long quiet = 0;
    for (size_t i = 0; i < cap.audio.size(); ++i) {
        if (std::fabs(cap.audio[i]) < 0.05) {
            ++quiet;
            continue;
        }
        const bool onset = quiet > Rate * 3 / 10;
        quiet = 0;
        if (!onset) continue;
        const double heard = cap.audio_start + double(i) / Rate;
        const double shown = cap.picture_change(heard - 0.3, heard + 0.3);
        if (std::isnan(shown)) continue;
        const double offset = (heard - shown) * 1000.0;
        sum += offset, low = std::min(low, offset), high = std::max(high, offset), ++n;
        for (size_t m = 0; m < written.size() && m < coloured.size(); ++m)
            if (written[m] <= heard && heard - written[m] < 0.4) {
                heard_late += heard - written[m], shown_late += shown - coloured[m];
                colour_late += coloured[m] - written[m], ++marked;
                break;
            }
    }
    if (n == 0) return std::puts("calibration: no click with a picture change"), 1;
    std::printf("calibration: %d clicks, picture to sound %+.0f ms on average (%+.0f to %+.0f)\n",
                n, sum / n, low, high);
    if (marked > 0)
        std::printf("calibration: heard %+.0f ms after the click was written, the grab %+.0f ms "
                    "after the colour was set, the colour set %+.0f ms after the click (%d)\n",
                    heard_late * 1000 / marked, shown_late * 1000 / marked,
                    colour_late * 1000 / marked, marked);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "demo") return demo(argv[2], argc > 3 && std::string(argv[3]) == "--goal");
    if (mode == "calibrate") return calibrate(argv[2]);
    std::puts("usage: sync_offsets demo|calibrate DIR [--goal]");
    return 2;
}
