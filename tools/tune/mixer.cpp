#include <cstddef>
#include "mixer.h"

#include <algorithm>
#include <memory>

#include "delay.h"
#include "ducker.h"
#include "dsp_math.h"
#include "instrument.h"
#include "reverb.h"
#include "timing.h"

namespace tune {

namespace {

constexpr int kBlock = 64;

struct Pending {
    long start;
    NoteOn note;
};

struct Strip {
    std::vector<Pending> pending;
    std::size_t cursor = 0;
    std::vector<std::unique_ptr<Voice>> voices;
};

std::uint64_t event_seed(std::size_t index, int instrument) {
    // splitmix64 of the event's place in the score: stable while the score is unchanged.
    std::uint64_t z = 0x9e3779b97f4a7c15ull * (index + 1) + static_cast<std::uint64_t>(instrument);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return (z ^ (z >> 31)) | 1;
}

// Each instrument's notes in start order on its strip, and the kicks that drive the ducker.
void schedule(const Score &score, double fs, long total, std::vector<Strip> &strips,
              std::vector<long> &kicks) {
    for (std::size_t i = 0; i < score.events.size(); ++i) {
        const Event &e = score.events[i];
        auto ch = static_cast<int>(e.instrument);
        if (ch < 0 || ch >= kInstrumentCount) continue;
        NoteOn note;
        note.freq = note_to_hz(e.note);
        note.velocity = e.velocity;
        note.gate = seconds_to_frames(e.length, fs);
        note.seed = event_seed(i, ch);
        long start = seconds_to_frames(e.time, fs);
        if (start < 0 || start >= total) continue;
        strips[static_cast<std::size_t>(ch)].pending.push_back({start, note});
        if (e.instrument == Instrument::Kick) kicks.push_back(start);
    }
    for (auto &s : strips)
        std::stable_sort(s.pending.begin(), s.pending.end(),
                         [](const Pending &a, const Pending &b) { return a.start < b.start; });
    std::sort(kicks.begin(), kicks.end());
}

// One block of output: its place, the ducker's gain per frame and the sends every strip adds to.
struct Block {
    long start;
    int n;
    double t0, t1; // seconds at its first frame and just after its last
    double duck[kBlock];
    float rev_l[kBlock], rev_r[kBlock], del_l[kBlock], del_r[kBlock];
};

// The strip's sounding voices and the notes that start in the block, into track; false when the
// strip has nothing left to play and the block came out silent.
bool render_strip(Strip &strip, Instrument inst, const Block &block, double fs,
                  const VoiceControls &controls, float *track_l, float *track_r) {
    const int n = block.n;
    std::fill(track_l, track_l + n, 0.0f);
    std::fill(track_r, track_r + n, 0.0f);
    for (std::size_t v = 0; v < strip.voices.size();) {
        if (strip.voices[v]->render(track_l, track_r, n, controls)) {
            ++v;
        } else {
            strip.voices.erase(strip.voices.begin() + static_cast<long>(v));
        }
    }
    while (strip.cursor < strip.pending.size() &&
           strip.pending[strip.cursor].start < block.start + n) {
        const Pending &p = strip.pending[strip.cursor++];
        auto offset = static_cast<int>(p.start - block.start);
        auto voice = make_voice(inst, p.note, fs);
        if (voice && voice->render(track_l + offset, track_r + offset, n - offset, controls))
            strip.voices.push_back(std::move(voice));
    }
    if (!strip.voices.empty() || strip.cursor < strip.pending.size()) return true;
    for (int i = 0; i < n; ++i)
        if (track_l[i] != 0.0f || track_r[i] != 0.0f) return true;
    return false;
}

// The strip's track through its fader (level ramped over the block, ducked), panner and sends.
void add_strip(const Score &score, Instrument inst, const float *track_l, const float *track_r,
               Block &block, std::vector<float> &out) {
    const Channel &base = score.channel(inst);
    const int n = block.n;
    const double level0 = score.lane(inst, Param::Level).at(block.t0, base.level);
    const double level1 = score.lane(inst, Param::Level).at(block.t1, base.level);
    const double depth = score.lane(inst, Param::Duck).at(block.t0, base.duck);
    const double rsend = score.lane(inst, Param::ReverbSend).at(block.t0, base.reverb_send);
    const double dsend = score.lane(inst, Param::DelaySend).at(block.t0, base.delay_send);
    const double angle = (base.pan + 1.0) * 0.125; // quarter turn across the field
    const double pan_l = cos_turns(angle) * 1.41421356237;
    const double pan_r = sin_turns(angle) * 1.41421356237;
    for (int i = 0; i < n; ++i) {
        double level = level0 + (level1 - level0) * (i + 0.5) / n;
        double g = level * (1.0 - depth * block.duck[i]);
        double l = track_l[i] * g * pan_l;
        double r = track_r[i] * g * pan_r;
        std::size_t o = static_cast<std::size_t>(2 * (block.start + i));
        out[o] += static_cast<float>(l);
        out[o + 1] += static_cast<float>(r);
        block.rev_l[i] += static_cast<float>(l * rsend);
        block.rev_r[i] += static_cast<float>(r * rsend);
        block.del_l[i] += static_cast<float>(l * dsend);
        block.del_r[i] += static_cast<float>(r * dsend);
    }
}

// The delay's and the reverb's returns for the block.
void add_returns(PingPongDelay &delay, Reverb &reverb, Block &block, std::vector<float> &out) {
    float wet_l[kBlock], wet_r[kBlock];
    const int n = block.n;
    delay.process(block.del_l, block.del_r, wet_l, wet_r, n);
    for (int i = 0; i < n; ++i) {
        std::size_t o = static_cast<std::size_t>(2 * (block.start + i));
        out[o] += wet_l[i];
        out[o + 1] += wet_r[i];
        // Echoes bloom into the hall a little.
        block.rev_l[i] += 0.3f * wet_l[i];
        block.rev_r[i] += 0.3f * wet_r[i];
    }
    reverb.process(block.rev_l, block.rev_r, wet_l, wet_r, n);
    for (int i = 0; i < n; ++i) {
        std::size_t o = static_cast<std::size_t>(2 * (block.start + i));
        out[o] += wet_l[i];
        out[o + 1] += wet_r[i];
    }
}

} // namespace

std::vector<float> mix(const Score &score, double fs) {
    const long total = seconds_to_frames(score.length, fs);
    std::vector<float> out(static_cast<std::size_t>(2 * total), 0.0f);
    std::vector<Strip> strips(kInstrumentCount);
    std::vector<long> kicks;
    schedule(score, fs, total, strips, kicks);

    Ducker ducker(0.004, 0.23, fs);
    PingPongDelay delay(seconds_to_frames(3 * kStep, fs), 0.42, 4200.0, fs);
    Reverb reverb(Reverb::Params{}, fs);
    float track_l[kBlock], track_r[kBlock];
    std::size_t kick_cursor = 0;
    Block block;
    for (long b = 0; b < total; b += kBlock) {
        block.start = b;
        block.n = static_cast<int>(std::min<long>(kBlock, total - b));
        block.t0 = static_cast<double>(b) / fs;
        block.t1 = static_cast<double>(b + block.n) / fs;
        for (int i = 0; i < block.n; ++i) {
            while (kick_cursor < kicks.size() && kicks[kick_cursor] == b + i) {
                ducker.trigger();
                ++kick_cursor;
            }
            block.duck[i] = ducker.next();
        }
        std::fill(block.rev_l, block.rev_l + block.n, 0.0f);
        std::fill(block.rev_r, block.rev_r + block.n, 0.0f);
        std::fill(block.del_l, block.del_l + block.n, 0.0f);
        std::fill(block.del_r, block.del_r + block.n, 0.0f);

        for (int ch = 0; ch < kInstrumentCount; ++ch) {
            auto inst = static_cast<Instrument>(ch);
            VoiceControls controls;
            controls.cutoff =
                score.lane(inst, Param::Cutoff).at(block.t0, score.channel(inst).cutoff);
            if (render_strip(strips[static_cast<std::size_t>(ch)], inst, block, fs, controls,
                             track_l, track_r))
                add_strip(score, inst, track_l, track_r, block, out);
        }
        add_returns(delay, reverb, block, out);
    }
    return out;
}

} // namespace tune
