#include "composition.h"

#include <initializer_list>

#include "timeline/scene_cuts.h"
#include "timing.h"

namespace tune {

namespace {

// ---------------------------------------------------------------------------------------------
// Material. A minor, 128 BPM. Pitches are MIDI note numbers.

struct Chord {
    int bass;     // root for the bass line, octave 1-2
    int tones[4]; // pad voicing, moved by the smallest steps from chord to chord
};

constexpr Chord kAm{33, {57, 60, 64, 67}}; // A minor 7
constexpr Chord kF{29, {57, 60, 64, 69}};  // F major 7, the seventh kept clear of the root
constexpr Chord kC{36, {55, 60, 64, 67}};
constexpr Chord kG{31, {55, 59, 62, 67}};
constexpr Chord kDm{38, {57, 62, 65, 69}};
constexpr Chord kE{28, {56, 59, 64, 68}}; // the major dominant: the spell's pull home

struct Tone {
    double step; // sixteenths from the phrase start
    double len;  // sixteenths
    int pitch;
};
using Phrase = std::initializer_list<Tone>;

// The motif: a falling 3-3-2 figure that leaps up to the sixth, answered a fifth lower.
// Over Am | F.
constexpr Phrase kMotifA = {{0, 3, 76},  {3, 3, 74},  {6, 2, 72},  {8, 2, 74},
                            {10, 2, 76}, {12, 4, 81}, {16, 3, 79}, {19, 3, 77},
                            {22, 2, 76}, {24, 4, 72}, {28, 4, 69}};
// Over C | G.
constexpr Phrase kMotifB = {{0, 3, 76},  {3, 3, 74},  {6, 2, 72},  {8, 2, 74},
                            {10, 2, 76}, {12, 4, 79}, {16, 3, 74}, {19, 3, 71},
                            {22, 2, 67}, {24, 2, 69}, {26, 2, 71}, {28, 4, 74}};
// The sunset's close over Dm | E, leaning on the leading tone.
constexpr Phrase kMotifClose = {{0, 3, 77},  {3, 3, 76},  {6, 2, 74},  {8, 2, 72},  {10, 2, 74},
                                {12, 4, 77}, {16, 6, 76}, {22, 2, 74}, {24, 4, 71}, {28, 4, 68}};

// Chord-tone orders for the arpeggios.
constexpr int kSlowArp[8] = {0, 1, 2, 3, 2, 1, 2, 3};
constexpr int kFastArp[16] = {0, 1, 2, 3, 2, 3, 1, 2, 0, 1, 2, 3, 3, 2, 1, 2};

// Diatonic thirds below in A natural minor, for the climax's second voice.
int third_below(int pitch) {
    static const int scale[7] = {0, 2, 3, 5, 7, 8, 10}; // from A
    int rel = pitch - 57;
    int octave = rel >= 0 ? rel / 12 : (rel - 11) / 12;
    int pc = rel - 12 * octave;
    for (int d = 0; d < 7; ++d) {
        if (scale[d] != pc) continue;
        int nd = d - 2;
        int no = octave;
        if (nd < 0) {
            nd += 7;
            --no;
        }
        return 57 + 12 * no + scale[nd];
    }
    return pitch - 3; // not in the scale: a minor third
}

// ---------------------------------------------------------------------------------------------
// Sections on the global sixteenth grid. The grid is anchored so bar 54 starts at 101.2 s; the
// earlier cuts fall between its bar lines, so sections there start on the nearest sixteenth
// and run their own bar lines from it (an odd-length bar before a stutter fill absorbs the
// difference). The sunset cut sits half-way between two sixteenths, so its first hit is placed
// on the cut itself, off the grid, after the fill has fallen silent.

constexpr int kIntro = 4;
constexpr int kWisp = 324;
constexpr int kMeadow1 = 452;
constexpr int kMeadow2 = 514;
constexpr int kMeadow3 = 578;
constexpr int kSunset = 640;
constexpr int kBuild = 766; // an eighth-note pickup into bar 48
constexpr int kClimax = 864;
constexpr int kOutro = 1184;
constexpr int kEnd = 1290; // past the fade

Section make_section(const char *name, double cut, int first, int next) {
    double grid = step_time(first);
    double target = cut + kPictureLag;
    double d = grid - target;
    double entry = (d > 0.02 || d < -0.02) ? target : grid;
    if (cut == 0.0) entry = grid; // the opening has no cut to meet
    return {name, cut, first, next - first, entry};
}

// ---------------------------------------------------------------------------------------------

class Writer {
  public:
    explicit Writer(Score &score) : s_(score) {}

    void note(Instrument i, double step, double len, double pitch, double vel) {
        s_.events.push_back({step_time(step), len * kStep, pitch, vel, i});
    }
    void at(Instrument i, double time, double seconds, double pitch, double vel) {
        s_.events.push_back({time, seconds, pitch, vel, i});
    }
    void hit(Instrument i, double step, double vel, double pitch = 69) {
        note(i, step, 1, pitch, vel);
    }

    void chord(const Chord &c, double step, double len, double vel) {
        for (int t : c.tones) note(Instrument::Pad, step, len, t, vel);
    }

    void phrase(Instrument i, Phrase p, double step, double stretch, int transpose, double vel,
                bool harmony = false) {
        for (const Tone &t : p) {
            double at_step = step + t.step * stretch;
            note(i, at_step, t.len * stretch * 0.92, t.pitch + transpose, vel);
            if (harmony)
                note(i, at_step, t.len * stretch * 0.92, third_below(t.pitch) + transpose,
                     vel * 0.7);
        }
    }

    // Eighth-note arpeggio over one bar.
    void slow_arp(const Chord &c, double bar_step, double vel) {
        for (int k = 0; k < 8; ++k)
            note(Instrument::Arp, bar_step + 2 * k, 1.8, c.tones[kSlowArp[k]] + 12,
                 k == 0 ? vel * 1.2 : vel);
    }

    // Sixteenth-note arpeggio over `steps` of a bar.
    void fast_arp(const Chord &c, double bar_step, int steps, double vel, int octave = 12) {
        for (int k = 0; k < steps; ++k) {
            double accent = (k % 4 == 2) ? 1.15 : (k % 2 ? 0.8 : 1.0);
            note(Instrument::Arp, bar_step + k, 0.9, c.tones[kFastArp[k]] + octave, vel * accent);
        }
    }

    void kicks(double bar_step, int steps, double vel) {
        for (int k = 0; k < steps; k += 4) hit(Instrument::Kick, bar_step + k, vel);
    }

    // Closed hats on sixteenths, accented off the beat.
    void hats16(double bar_step, int steps, double vel) {
        static const double accent[4] = {0.45, 0.6, 1.0, 0.6};
        for (int k = 0; k < steps; ++k)
            hit(Instrument::ClosedHat, bar_step + k, vel * accent[k % 4]);
    }

    void offbeats(Instrument i, double bar_step, int steps, double vel) {
        for (int k = 2; k < steps; k += 4) hit(i, bar_step + k, vel);
    }

    void backbeat(double bar_step, int steps, double vel) {
        for (int k = 4; k < steps; k += 8) hit(Instrument::Clap, bar_step + k, vel);
    }

    // Offbeat eighths with a sixteenth pickup an octave up before beats 3 and 1.
    void offbeat_bass(const Chord &c, double bar_step, int steps, double vel, bool pickups) {
        for (int k = 2; k < steps; k += 4) note(Instrument::Bass, bar_step + k, 1.6, c.bass, vel);
        if (!pickups) return;
        for (int k = 7; k < steps; k += 8)
            note(Instrument::Bass, bar_step + k, 0.8, c.bass + 12, vel * 0.7);
    }

    // Sixteenths between the kicks, bouncing to the octave on the last of each group.
    void rolling_bass(const Chord &c, double bar_step, int steps, double vel) {
        for (int k = 0; k < steps; ++k) {
            if (k % 4 == 0) continue;
            int pitch = k % 4 == 3 ? c.bass + 12 : c.bass;
            note(Instrument::Bass, bar_step + k, 0.8, pitch, k % 4 == 2 ? vel : vel * 0.85);
        }
    }

    // Beat-repeat into a section entry: eighths, sixteenths, then ever finer and quieter.
    void stutter_fill(int next_first_step, double entry) {
        double s = next_first_step;
        s_.stutters.push_back({step_time(s - 8), step_time(s - 4), 2 * kStep, 1.0});
        s_.stutters.push_back({step_time(s - 4), step_time(s - 2), kStep, 0.95});
        s_.stutters.push_back({step_time(s - 2), step_time(s - 1), 0.5 * kStep, 0.8});
        s_.stutters.push_back({step_time(s - 1), entry, 0.25 * kStep, 0.4});
    }

    void automate(Instrument i, Param p, double time, double value) {
        s_.lane(i, p).add(time, value);
    }
    // Holds the previous value up to `time`, then jumps.
    void jump(Instrument i, Param p, double time, double from, double to) {
        s_.lane(i, p).add(time, from);
        s_.lane(i, p).add(time, to);
    }

  private:
    Score &s_;
};

using I = Instrument;

void setup_mix(Score &s) {
    auto set = [&](I i, double level, double pan, double cutoff, double rev, double del,
                   double duck) { s.channel(i) = Channel{level, pan, cutoff, rev, del, duck}; };
    set(I::Pad, 0.55, 0.0, 3000, 0.35, 0.05, 0.0);
    set(I::Arp, 0.3, 0.2, 2500, 0.25, 0.35, 0.45);
    set(I::Bass, 0.6, 0.0, 420, 0.0, 0.0, 0.9);
    set(I::Lead, 0.5, 0.0, 3600, 0.3, 0.25, 0.3);
    set(I::Bell, 0.5, -0.2, 2000, 0.4, 0.4, 0.2);
    set(I::Kick, 0.95, 0.0, 2000, 0.0, 0.0, 0.0);
    set(I::Snare, 0.42, 0.0, 2000, 0.2, 0.0, 0.0);
    set(I::Clap, 0.42, 0.0, 2000, 0.25, 0.0, 0.0);
    set(I::ClosedHat, 0.26, 0.3, 2000, 0.05, 0.0, 0.2);
    set(I::OpenHat, 0.2, -0.25, 2000, 0.1, 0.0, 0.3);
    set(I::Crash, 0.25, 0.0, 2000, 0.3, 0.0, 0.0);
    set(I::Riser, 0.32, 0.0, 2000, 0.3, 0.1, 0.0);
    set(I::Impact, 0.8, 0.0, 2000, 0.35, 0.0, 0.0);
}

// Opening and credits: pads, a slow arpeggio, the motif on a bell at half speed, a riser.
void intro(Writer &w) {
    const Chord *chords[10] = {&kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG, &kDm, &kE};
    for (int j = 0; j < 10; ++j) w.chord(*chords[j], kIntro + 32 * j, 32, j == 0 ? 0.7 : 0.8);
    for (int bar = 4; bar < 20; ++bar)
        w.slow_arp(*chords[bar / 2], kIntro + 16 * bar, bar < 8 ? 0.45 : 0.55);
    w.phrase(I::Bell, kMotifA, kIntro + 16 * 8, 2.0, 0, 0.7);
    w.phrase(I::Bell, kMotifB, kIntro + 16 * 12, 2.0, 0, 0.7);
    w.note(I::Bell, kIntro + 16 * 16, 16, 81, 0.5);
    w.note(I::Riser, kIntro + 16 * 16, kWisp - 1 - (kIntro + 16 * 16), 57, 0.9);
}

// The wisp: kick and bass enter, hats build.
void wisp(Writer &w) {
    const Chord *chords[8] = {&kAm, &kF, &kC, &kG, &kAm, &kF, &kC, &kG};
    w.hit(I::Crash, kWisp, 0.8);
    w.hit(I::Impact, kWisp, 0.55);
    for (int bar = 0; bar < 8; ++bar) {
        double b = kWisp + 16 * bar;
        const Chord &c = *chords[bar];
        w.chord(c, b, 16, 0.75);
        w.slow_arp(c, b, 0.6);
        w.kicks(b, 16, 0.95);
        w.offbeat_bass(c, b, 16, 0.85, bar >= 4);
        if (bar >= 2 && bar < 4) w.offbeats(I::ClosedHat, b, 16, 0.55);
        if (bar >= 4) w.hats16(b, 16, bar >= 6 ? 0.8 : 0.6);
        if (bar >= 6) w.offbeats(I::OpenHat, b, 16, 0.45);
        if (bar >= 4) w.backbeat(b, 16, 0.55);
    }
    // Snare run over the last two beats, leaving the final sixteenth empty.
    for (int k = 8; k < 15; ++k)
        w.hit(I::Snare, kWisp + 16 * 7 + k, 0.35 + 0.08 * (k - 8), 69 + (k - 8));
    w.note(I::Riser, kWisp + 16 * 6, 31, 57, 0.7);
}

// The meadow's main groove; `variation` 0..2 for its three scenes.
void meadow(Writer &w, const Section &sec, const Section &next, int variation) {
    const Chord *chords[4] = {&kAm, &kF, &kC, &kG};
    w.hit(I::Crash, sec.first_step, 0.9);
    if (variation == 0) w.hit(I::Impact, sec.first_step, 0.4);
    for (int bar = 0; bar * 16 < sec.steps; ++bar) {
        double b = sec.first_step + 16 * bar;
        int steps = sec.steps - 16 * bar < 16 ? sec.steps - 16 * bar : 16;
        const Chord &c = *chords[bar % 4];
        w.chord(c, b, steps, 0.7);
        w.kicks(b, steps, 1.0);
        w.backbeat(b, steps, 0.75);
        w.hats16(b, steps, 0.75);
        w.offbeats(I::OpenHat, b, steps, 0.4);
        w.offbeat_bass(c, b, steps, 0.9, true);
        w.fast_arp(c, b, steps, 0.55, variation == 1 ? 24 : 12);
        if (variation == 1) {
            // Ghost snares between the claps.
            for (int k : {7, 10, 15})
                if (k < steps) w.hit(I::Snare, b + k, 0.22);
        }
    }
    if (variation == 2) {
        // The motif first surfaces here, on the bell, before the lead takes it.
        w.phrase(I::Bell, kMotifA, sec.first_step, 1.0, 12, 0.55);
        w.phrase(I::Bell, kMotifB, sec.first_step + 32, 1.0, 12, 0.55);
    }
    w.stutter_fill(next.first_step, next.entry);
}

// Sunset: the lead sings the motif over the pads; drums fall to half time.
void sunset(Writer &w, const Section &sec) {
    const Chord *chords[8] = {&kAm, &kAm, &kF, &kC, &kG, &kDm, &kE, &kAm};
    w.at(I::Impact, sec.entry, kStep, 69, 0.9);
    w.at(I::Crash, sec.entry, kStep, 69, 0.7);
    for (int bar = 0; bar < 8; ++bar) {
        double b = kSunset + 16 * bar;
        const Chord &c = *chords[bar];
        // The first chord waits for the impact rather than the bar line.
        if (bar == 0)
            for (int t : c.tones)
                w.at(I::Pad, sec.entry, 16 * kStep - (sec.entry - step_time(b)), t, 0.85);
        else
            w.chord(c, b, 16, 0.85);
        if (bar >= 1) {
            w.note(I::Bass, b, 15, c.bass, 0.55);
            w.offbeats(I::ClosedHat, b, 16, 0.35);
        }
        if (bar >= 3) {
            w.hit(I::Kick, b, 0.45);
            w.hit(I::Clap, b + 8, 0.35);
            w.slow_arp(c, b, 0.35);
        }
    }
    w.note(I::Lead, kSunset + 14, 2, 64, 0.6); // pickup
    w.phrase(I::Lead, kMotifA, kSunset + 16, 1.0, 0, 0.8);
    w.phrase(I::Lead, kMotifB, kSunset + 48, 1.0, 0, 0.8);
    w.phrase(I::Lead, kMotifClose, kSunset + 80, 1.0, 0, 0.8);
    // The last note lets go before the build's pickup so the pickup lands in the open.
    w.note(I::Lead, kSunset + 112, 11, 69, 0.75);
    w.note(I::Bell, kSunset + 112, 8, 81, 0.4);
}

// The orb emerges: pickup, snare roll, riser and an opening filter into the drop.
void build(Writer &w) {
    const Chord *chords[6] = {&kF, &kG, &kAm, &kF, &kG, &kE};
    const int bar0 = kBuild + 2;
    w.hit(I::Snare, kBuild, 0.9);
    w.hit(I::Crash, kBuild, 0.6);
    w.hit(I::OpenHat, kBuild, 0.5);
    w.hit(I::Impact, kBuild, 0.6);
    for (int bar = 0; bar < 6; ++bar) {
        double b = bar0 + 16 * bar;
        const Chord &c = *chords[bar];
        w.chord(c, b, bar == 5 ? 14 : 16, 0.75);
        w.fast_arp(c, b, bar == 5 ? 14 : 16, 0.5);
        if (bar < 5) {
            w.kicks(b, 16, 0.9);
            for (int k = 0; k < 16; k += 2) w.note(I::Bass, b + k, 1.4, c.bass, 0.7);
        }
        if (bar >= 2) w.hats16(b, bar == 5 ? 14 : 16, 0.35 + 0.1 * bar);
        // Roll: quarters, eighths, sixteenths, thirty-seconds; louder and higher.
        double every = bar < 2 ? 4.0 : (bar < 4 ? 2.0 : (bar == 4 ? 1.0 : 0.5));
        double end = bar == 5 ? 14.0 : 16.0;
        for (double k = 0; k < end; k += every) {
            double x = (16 * bar + k) / 96.0;
            w.hit(I::Snare, b + k, 0.3 + 0.65 * x, 69 + 10 * x);
        }
    }
    w.note(I::Riser, bar0, 94, 45, 1.0);
}

// The orb: ten two-bar segments, each changing the arrangement.
void climax(Writer &w) {
    struct Segment {
        bool lead;
        int lead_octave;
        bool harmony;
        bool bell;
        bool arp;
        bool rolling_bass;
        bool open_hats;
        int fill; // 0 none, 1 last beat, 2 last two beats
    };
    static const Segment segs[10] = {
        {true, 0, false, false, false, true, true, 0},
        {true, 0, false, false, true, true, true, 0},
        {true, 0, true, true, true, true, true, 0},
        {true, 0, true, true, true, true, true, 1},
        {false, 0, false, true, true, false, false, 0},
        {true, 12, false, true, true, false, true, 2},
        {true, 12, true, false, true, true, true, 0},
        {true, 12, true, false, true, true, true, 1},
        {true, 0, true, true, true, true, true, 0},
        {true, 0, true, true, true, true, true, 2},
    };
    for (int s = 0; s < 10; ++s) {
        const Segment &g = segs[s];
        double seg = kClimax + 32 * s;
        const Chord *pair[2] = {s % 2 ? &kC : &kAm, s % 2 ? &kG : &kF};
        w.hit(I::Crash, seg, s == 0 || s == 6 ? 1.0 : 0.7);
        if (s == 0 || s == 6) w.hit(I::Impact, seg, 0.5);
        if (g.lead)
            w.phrase(I::Lead, s % 2 ? kMotifB : kMotifA, seg, 1.0, g.lead_octave, 0.9, g.harmony);
        if (g.bell) w.phrase(I::Bell, s % 2 ? kMotifB : kMotifA, seg, 1.0, 12, 0.6);
        for (int bar = 0; bar < 2; ++bar) {
            double b = seg + 16 * bar;
            const Chord &c = *pair[bar];
            bool last_bar = s == 9 && bar == 1;
            int steps = last_bar ? 12 : 16; // the last beat empties out for the outro
            w.chord(c, b, 16, 0.8);
            w.kicks(b, steps, 1.0);
            w.backbeat(b, 16, 0.85);
            for (int k = 4; k < 16; k += 8) w.hit(I::Snare, b + k, 0.35);
            w.hats16(b, steps, 0.8);
            if (g.open_hats) w.offbeats(I::OpenHat, b, steps, 0.45);
            if (g.rolling_bass)
                w.rolling_bass(c, b, steps, 0.85);
            else
                w.offbeat_bass(c, b, steps, 0.9, true);
            if (g.arp) w.fast_arp(c, b, steps, 0.5);
        }
        if (g.fill > 0) {
            double from = seg + 32 - 4 * g.fill;
            double to = s == 9 ? seg + 30 : seg + 32;
            for (double k = from; k < to; k += 1.0)
                w.hit(I::Snare, k, 0.45 + 0.4 * (k - from) / (to - from), 72);
        }
    }
}

// The orb fades: drums gone, the motif slows and echoes away.
void outro(Writer &w) {
    w.hit(I::Impact, kOutro, 0.8);
    w.hit(I::Crash, kOutro, 0.8);
    w.chord(kAm, kOutro, 32, 0.9);
    w.chord(kF, kOutro + 32, 32, 0.85);
    w.chord(kAm, kOutro + 64, 24, 0.8);
    w.note(I::Bass, kOutro, 28, kAm.bass, 0.6);
    w.phrase(I::Bell, kMotifA, kOutro, 2.0, 0, 0.65);
    w.note(I::Bell, kOutro + 64, 16, 81, 0.45);
    for (int bar = 0; bar < 2; ++bar) w.slow_arp(kAm, kOutro + 16 * bar, 0.35 - 0.1 * bar);
}

void automation(Writer &w) {
    auto t = [](double step) { return step_time(step); };
    // Pad: opens through the opening, pumps with the kick once there is one.
    w.automate(I::Pad, Param::Cutoff, t(kIntro), 500);
    w.automate(I::Pad, Param::Cutoff, t(kIntro + 128), 1800);
    w.automate(I::Pad, Param::Cutoff, t(kIntro + 256), 2600);
    w.automate(I::Pad, Param::Cutoff, t(kWisp), 3800);
    w.automate(I::Pad, Param::Cutoff, t(kSunset), 3800);
    w.automate(I::Pad, Param::Cutoff, t(kSunset + 16), 3000);
    w.automate(I::Pad, Param::Cutoff, t(kBuild), 1500);
    w.automate(I::Pad, Param::Cutoff, t(kClimax - 2), 6000);
    w.automate(I::Pad, Param::Cutoff, t(kOutro), 4500);
    w.automate(I::Pad, Param::Cutoff, 150.0, 700);
    w.jump(I::Pad, Param::Duck, t(kWisp) - 0.01, 0.0, 0.35);
    w.jump(I::Pad, Param::Duck, t(kMeadow1) - 0.01, 0.35, 0.55);
    w.jump(I::Pad, Param::Duck, t(kSunset) - 0.01, 0.55, 0.0);
    w.jump(I::Pad, Param::Duck, t(kBuild) - 0.01, 0.0, 0.3);
    w.jump(I::Pad, Param::Duck, t(kClimax) - 0.01, 0.3, 0.75);
    w.jump(I::Pad, Param::Duck, t(kOutro) - 0.01, 0.75, 0.0);
    // Alone in the opening and the sunset the pads carry the piece; in the grooves they sit back.
    w.automate(I::Pad, Param::Level, t(kWisp - 16), 1.0);
    w.automate(I::Pad, Param::Level, t(kWisp), 0.62);
    w.automate(I::Pad, Param::Level, t(kMeadow1), 0.5);
    w.automate(I::Pad, Param::Level, t(kSunset), 0.5);
    w.automate(I::Pad, Param::Level, t(kSunset + 16), 0.8);
    w.automate(I::Pad, Param::Level, t(kBuild), 0.55);
    w.automate(I::Pad, Param::Level, t(kClimax - 2), 0.55);
    w.automate(I::Pad, Param::Level, t(kClimax), 0.62);
    w.automate(I::Pad, Param::Level, t(kOutro), 0.9);
    w.automate(I::Lead, Param::Level, t(kClimax - 2), 0.5);
    w.automate(I::Lead, Param::Level, t(kClimax), 0.6);

    // Arpeggio: brightens section by section, closes in the sunset, sweeps open in the build.
    w.automate(I::Arp, Param::Cutoff, t(kIntro + 64), 700);
    w.automate(I::Arp, Param::Cutoff, t(kWisp), 2000);
    w.automate(I::Arp, Param::Cutoff, t(kMeadow1), 3000);
    w.automate(I::Arp, Param::Cutoff, t(kSunset), 3000);
    w.automate(I::Arp, Param::Cutoff, t(kSunset + 1), 1200);
    w.automate(I::Arp, Param::Cutoff, t(kBuild), 400);
    w.automate(I::Arp, Param::Cutoff, t(kClimax - 2), 6000);
    w.automate(I::Arp, Param::Cutoff, t(kClimax), 4200);
    w.automate(I::Arp, Param::Cutoff, t(kOutro), 2000);
    w.automate(I::Arp, Param::Level, t(kIntro + 64), 0.3);
    w.automate(I::Arp, Param::Level, t(kMeadow1), 0.3);
    w.automate(I::Arp, Param::Level, t(kSunset), 0.3);
    w.automate(I::Arp, Param::Level, t(kSunset + 1), 0.18);
    w.automate(I::Arp, Param::Level, t(kBuild), 0.3);

    // Bass opens up with the groove.
    w.automate(I::Bass, Param::Cutoff, t(kWisp), 300);
    w.automate(I::Bass, Param::Cutoff, t(kMeadow1), 420);
    w.automate(I::Bass, Param::Cutoff, t(kSunset), 420);
    w.automate(I::Bass, Param::Cutoff, t(kSunset + 1), 260);
    w.automate(I::Bass, Param::Cutoff, t(kBuild), 350);
    w.automate(I::Bass, Param::Cutoff, t(kClimax - 2), 350);
    w.automate(I::Bass, Param::Cutoff, t(kClimax), 560);

    // Lead: more air in the sunset, more bite in the climax.
    w.automate(I::Lead, Param::Cutoff, t(kSunset), 2800);
    w.automate(I::Lead, Param::Cutoff, t(kClimax - 2), 2800);
    w.automate(I::Lead, Param::Cutoff, t(kClimax), 4200);
    w.automate(I::Lead, Param::ReverbSend, t(kSunset), 0.45);
    w.automate(I::Lead, Param::ReverbSend, t(kClimax - 2), 0.45);
    w.automate(I::Lead, Param::ReverbSend, t(kClimax), 0.25);
    w.automate(I::Lead, Param::DelaySend, t(kSunset), 0.35);
    w.automate(I::Lead, Param::DelaySend, t(kClimax - 2), 0.35);
    w.automate(I::Lead, Param::DelaySend, t(kClimax), 0.2);

    // Bell and pads drift into the echoes at the end.
    w.automate(I::Bell, Param::DelaySend, t(kOutro), 0.4);
    w.automate(I::Bell, Param::DelaySend, t(kOutro + 16), 0.6);
    w.automate(I::Pad, Param::ReverbSend, t(kOutro), 0.35);
    w.automate(I::Pad, Param::ReverbSend, 148.0, 0.6);
}

} // namespace

const std::vector<Section> &sections() {
    static const std::vector<Section> table = {
        make_section("opening", SceneCuts[0].start, kIntro, kWisp),
        make_section("wisp", SceneCuts[1].start, kWisp, kMeadow1),
        make_section("meadow", SceneCuts[2].start, kMeadow1, kMeadow2),
        make_section("meadow 2", SceneCuts[3].start, kMeadow2, kMeadow3),
        make_section("meadow 3", SceneCuts[4].start, kMeadow3, kSunset),
        make_section("sunset", SceneCuts[5].start, kSunset, kBuild),
        make_section("orb emerges", SceneCuts[6].start, kBuild, kClimax),
        make_section("orb", SceneCuts[7].start, kClimax, kOutro),
        make_section("orb fades", 138.5, kOutro, kEnd), // the music's own: scene 8 goes on
    };
    return table;
}

Score compose() {
    Score score;
    score.length = 153.0;
    score.fade_start = 144.5;
    score.fade_end = 151.0;
    setup_mix(score);
    Writer w(score);
    const auto &sec = sections();
    intro(w);
    wisp(w);
    meadow(w, sec[2], sec[3], 0);
    meadow(w, sec[3], sec[4], 1);
    meadow(w, sec[4], sec[5], 2);
    sunset(w, sec[5]);
    build(w);
    climax(w);
    outro(w);
    automation(w);
    return score;
}

} // namespace tune
