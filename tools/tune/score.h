#pragma once
#include <array>
#include <vector>

#include "automation.h"

namespace tune {

enum class Instrument {
    Pad,
    Arp,
    Bass,
    Lead,
    Bell,
    Kick,
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Crash,
    Riser,
    Impact,
    Count
};
constexpr int kInstrumentCount = static_cast<int>(Instrument::Count);

// Mixer values that the arrangement can move over time.
enum class Param { Level, Cutoff, ReverbSend, DelaySend, Duck, Count };
constexpr int kParamCount = static_cast<int>(Param::Count);

struct Event {
    double time;     // seconds of music time
    double length;   // seconds the key is held
    double note;     // MIDI note number; drums read it as tuning
    double velocity; // 0..1
    Instrument instrument;
};

// A stretch of the master that is replaced by repeats of its own first `slice` seconds.
struct StutterSegment {
    double start;
    double end;
    double slice;
    double gain;
};

// Static channel settings; automation lanes, where present, take over from these.
struct Channel {
    double level = 0.5;
    double pan = 0.0; // -1 left .. +1 right
    double cutoff = 2000.0;
    double reverb_send = 0.0;
    double delay_send = 0.0;
    double duck = 0.0; // how deep the kick pushes this channel down, 0..1
};

struct Score {
    double length = 0.0; // seconds to render
    double fade_start = 0.0;
    double fade_end = 0.0;
    std::vector<Event> events; // any order; the renderer sorts its own copy
    std::array<Channel, kInstrumentCount> channels{};
    std::array<std::array<Automation, kParamCount>, kInstrumentCount> lanes{};
    std::vector<StutterSegment> stutters;

    Automation &lane(Instrument i, Param p) {
        return lanes[static_cast<int>(i)][static_cast<int>(p)];
    }
    const Automation &lane(Instrument i, Param p) const {
        return lanes[static_cast<int>(i)][static_cast<int>(p)];
    }
    Channel &channel(Instrument i) { return channels[static_cast<int>(i)]; }
    const Channel &channel(Instrument i) const { return channels[static_cast<int>(i)]; }
};

} // namespace tune
