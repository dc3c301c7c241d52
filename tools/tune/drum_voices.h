#pragma once
#include "decay.h"
#include "oscillator.h"
#include "rng.h"
#include "svf.h"
#include "voice.h"

namespace tune {

// Sine with a fast downward pitch sweep and a short noise click, gently saturated.
class KickVoice : public Voice {
  public:
    KickVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    double velocity_;
    long age_ = 0;
    long length_;
    double phase_ = 0.0;
    Rng noise_;
    Svf click_filter_;
    Decay sweep_, tail_, body_, click_;
};

// Two damped tones for the shell plus high-passed noise for the wires.
class SnareVoice : public Voice {
  public:
    SnareVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    double velocity_;
    double tune_;
    long age_ = 0;
    long length_;
    double phase1_ = 0.0, phase2_ = 0.0;
    Rng noise_;
    Svf wires_;
    Decay shell1_, shell2_, bend_, rattle_;
};

// Three quick band-passed noise bursts and a tail, decorrelated left/right.
class ClapVoice : public Voice {
  public:
    ClapVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    double velocity_;
    long age_ = 0;
    long length_;
    Rng noise_l_, noise_r_;
    Svf band_l_, band_r_;
};

// Six inharmonic squares and noise through a high-pass: the metallic hat and cymbal colour.
class MetalVoice : public Voice {
  public:
    enum class Kind { ClosedHat, OpenHat, Crash };
    MetalVoice(Kind kind, const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    double velocity_;
    double decay_;
    double noise_mix_;
    long age_ = 0;
    long length_;
    Oscillator partials_[6];
    Rng noise_l_, noise_r_;
    Svf high_l_, high_r_;
    Decay env_;
};

} // namespace tune
