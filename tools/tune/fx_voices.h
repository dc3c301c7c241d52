#pragma once
#include "decay.h"
#include "oscillator.h"
#include "rng.h"
#include "svf.h"
#include "voice.h"

namespace tune {

// Noise through a band-pass sweeping upward plus a saw rising an octave; grows over the whole
// note and stops dead at its end, the breath before a section lands.
class RiserVoice : public Voice {
  public:
    RiserVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    NoteOn note_;
    long age_ = 0;
    long length_;
    Rng noise_l_, noise_r_;
    Svf band_l_, band_r_;
    Oscillator saw_;
    Svf saw_filter_;
};

// Deep sine drop with a thud of low noise: marks a downbeat without a groove.
class ImpactVoice : public Voice {
  public:
    ImpactVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    double velocity_;
    long age_ = 0;
    long length_;
    double phase_ = 0.0;
    Rng noise_;
    Svf thud_;
    Decay sweep_, boom_, thud_env_;
};

} // namespace tune
