#pragma once
#include "decay.h"
#include "envelope.h"
#include "oscillator.h"
#include "svf.h"
#include "voice.h"

namespace tune {

// Four detuned saws spread across the stereo field with a sine underneath; slow and warm.
class PadVoice : public Voice {
  public:
    PadVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    NoteOn note_;
    long age_ = 0;
    Oscillator saws_[4];
    Oscillator sub_;
    Svf filter_l_, filter_r_;
    Adsr amp_;
};

// Short, bright saw/square pluck for arpeggios.
class PluckVoice : public Voice {
  public:
    PluckVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    NoteOn note_;
    long age_ = 0;
    Oscillator saw_, square_;
    Svf filter_;
    Adsr amp_;
    double filter_env_ = 1.0;
    double filter_decay_;
};

// Saw with a sine sub; mono so the low end stays centred.
class BassVoice : public Voice {
  public:
    BassVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    NoteOn note_;
    long age_ = 0;
    Oscillator saw_, sub_;
    Svf filter_;
    Adsr amp_;
    double filter_env_ = 1.0;
    double filter_decay_;
};

// Three detuned saws and a sub-octave square with delayed vibrato.
class LeadVoice : public Voice {
  public:
    LeadVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    NoteOn note_;
    long age_ = 0;
    Oscillator saws_[3];
    Oscillator square_;
    Svf filter_l_, filter_r_;
    Adsr amp_;
    double filter_env_ = 1.0;
    double filter_decay_;
};

// Two-operator FM bell, slightly detuned between the channels.
class BellVoice : public Voice {
  public:
    BellVoice(const NoteOn &note, double fs);
    bool render(float *left, float *right, int n, const VoiceControls &controls) override;

  private:
    double fs_;
    NoteOn note_;
    long age_ = 0;
    double carrier_l_ = 0.0, carrier_r_ = 0.0, modulator_ = 0.0;
    Adsr amp_;
    Decay strike_;
};

} // namespace tune
