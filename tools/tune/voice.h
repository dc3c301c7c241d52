#pragma once
#include <cstdint>

namespace tune {

// What a voice needs to know when it starts.
struct NoteOn {
    double freq = 440.0;    // Hz
    double velocity = 1.0;  // 0..1
    long gate = 0;          // samples until the key is released
    std::uint64_t seed = 1; // for noise and start phases
};

// Track-level values that voices read every block (driven by automation).
struct VoiceControls {
    double cutoff = 2000.0; // Hz, base of the voice's filter
};

class Voice {
  public:
    virtual ~Voice() = default;
    // Adds n samples to left/right. Returns false once the voice has fallen silent for good.
    virtual bool render(float *left, float *right, int n, const VoiceControls &controls) = 0;
};

// How often filter coefficients follow their envelopes; fast enough to be inaudible.
constexpr int kControlInterval = 16;

} // namespace tune
