#include "melodic_voices.h"

#include "dsp_math.h"
#include "rng.h"

namespace tune {

namespace {

double cents(double c) {
    return exp2_d(c / 1200.0);
}

double clamp_cutoff(double hz) {
    return hz < 30.0 ? 30.0 : (hz > 18000.0 ? 18000.0 : hz);
}

long gate_of(const NoteOn &note) {
    return note.gate > 0 ? note.gate : 1;
}

} // namespace

PadVoice::PadVoice(const NoteOn &note, double fs)
    : fs_(fs), note_(note), sub_(Wave::Sine), filter_l_(Svf::Mode::LowPass),
      filter_r_(Svf::Mode::LowPass), amp_({0.9, 1.6, 0.85, 1.6}, fs) {
    // Free-running start phases keep repeated chords from sounding like the same sample.
    Rng rng(note.seed);
    const double detune[4] = {-13.0, -4.0, 5.0, 12.0};
    for (int i = 0; i < 4; ++i) {
        saws_[i] = Oscillator(Wave::Saw, rng.unit());
        saws_[i].set_freq(note.freq * cents(detune[i]), fs);
    }
    sub_.set_freq(note.freq, fs);
    note_.gate = gate_of(note);
    amp_.gate_on();
}

bool PadVoice::render(float *left, float *right, int n, const VoiceControls &controls) {
    const double gain = 0.16 * note_.velocity;
    for (int i = 0; i < n; ++i, ++age_) {
        if (age_ == note_.gate) amp_.gate_off();
        if (age_ % kControlInterval == 0) {
            double cutoff = clamp_cutoff(controls.cutoff * (0.65 + 0.35 * amp_.level()));
            filter_l_.set(cutoff, 0.75, fs_);
            filter_r_.set(cutoff, 0.75, fs_);
        }
        double env = amp_.next();
        double s0 = saws_[0].next(), s1 = saws_[1].next(), s2 = saws_[2].next();
        double s3 = saws_[3].next();
        double sub = 0.6 * sub_.next();
        double l = 0.9 * s0 + 0.55 * s1 + 0.3 * s2 + 0.1 * s3 + sub;
        double r = 0.1 * s0 + 0.3 * s1 + 0.55 * s2 + 0.9 * s3 + sub;
        left[i] += static_cast<float>(filter_l_.process(l) * env * gain);
        right[i] += static_cast<float>(filter_r_.process(r) * env * gain);
    }
    return !amp_.done();
}

PluckVoice::PluckVoice(const NoteOn &note, double fs)
    : fs_(fs), note_(note), saw_(Wave::Saw), square_(Wave::Square, 0.25),
      filter_(Svf::Mode::LowPass), amp_({0.001, 0.32, 0.0, 0.08}, fs),
      filter_decay_(decay_coeff(0.09, fs)) {
    saw_.set_freq(note.freq, fs);
    square_.set_freq(note.freq * cents(6.0), fs);
    note_.gate = gate_of(note);
    amp_.gate_on();
}

bool PluckVoice::render(float *left, float *right, int n, const VoiceControls &controls) {
    const double gain = 0.45 * note_.velocity;
    for (int i = 0; i < n; ++i, ++age_) {
        if (age_ == note_.gate) amp_.gate_off();
        if (age_ % kControlInterval == 0)
            filter_.set(clamp_cutoff(controls.cutoff * (1.0 + 5.0 * filter_env_)), 1.3, fs_);
        filter_env_ *= filter_decay_;
        double env = amp_.next();
        double v = filter_.process(saw_.next() + 0.5 * square_.next()) * env * gain;
        left[i] += static_cast<float>(v);
        right[i] += static_cast<float>(v);
    }
    return !amp_.done();
}

BassVoice::BassVoice(const NoteOn &note, double fs)
    : fs_(fs), note_(note), saw_(Wave::Saw), sub_(Wave::Sine), filter_(Svf::Mode::LowPass),
      amp_({0.002, 0.15, 0.65, 0.03}, fs), filter_decay_(decay_coeff(0.07, fs)) {
    saw_.set_freq(note.freq, fs);
    sub_.set_freq(note.freq, fs);
    note_.gate = gate_of(note);
    amp_.gate_on();
}

bool BassVoice::render(float *left, float *right, int n, const VoiceControls &controls) {
    const double gain = 0.7 * note_.velocity;
    for (int i = 0; i < n; ++i, ++age_) {
        if (age_ == note_.gate) amp_.gate_off();
        if (age_ % kControlInterval == 0)
            filter_.set(clamp_cutoff(controls.cutoff * (1.0 + 2.5 * filter_env_)), 1.0, fs_);
        filter_env_ *= filter_decay_;
        double env = amp_.next();
        double body = 0.55 * filter_.process(saw_.next()) + 0.8 * sub_.next();
        double v = soft_clip(1.3 * body) * env * gain;
        left[i] += static_cast<float>(v);
        right[i] += static_cast<float>(v);
    }
    return !amp_.done();
}

LeadVoice::LeadVoice(const NoteOn &note, double fs)
    : fs_(fs), note_(note), square_(Wave::Square), filter_l_(Svf::Mode::LowPass),
      filter_r_(Svf::Mode::LowPass), amp_({0.006, 0.35, 0.75, 0.25}, fs),
      filter_decay_(decay_coeff(0.25, fs)) {
    Rng rng(note.seed);
    for (auto &saw : saws_) saw = Oscillator(Wave::Saw, rng.unit());
    note_.gate = gate_of(note);
    amp_.gate_on();
}

bool LeadVoice::render(float *left, float *right, int n, const VoiceControls &controls) {
    const double gain = 0.3 * note_.velocity;
    const double detune[3] = {-9.0, 0.0, 9.0};
    for (int i = 0; i < n; ++i, ++age_) {
        if (age_ == note_.gate) amp_.gate_off();
        if (age_ % kControlInterval == 0) {
            // Vibrato fades in once the note has settled, as a player would add it.
            double t = static_cast<double>(age_) / fs_;
            double depth = t < 0.25 ? 0.0 : (t > 0.6 ? 0.12 : 0.12 * (t - 0.25) / 0.35);
            double vib = depth * sin_turns(5.2 * t);
            double f = note_.freq * exp2_d(vib / 12.0);
            for (int k = 0; k < 3; ++k) saws_[k].set_freq(f * cents(detune[k]), fs_);
            square_.set_freq(f * 0.5, fs_);
            double cutoff = clamp_cutoff(controls.cutoff * (1.0 + 1.2 * filter_env_));
            filter_l_.set(cutoff, 0.9, fs_);
            filter_r_.set(cutoff, 0.9, fs_);
        }
        filter_env_ *= filter_decay_;
        double env = amp_.next();
        double s0 = saws_[0].next(), s1 = saws_[1].next(), s2 = saws_[2].next();
        double sq = 0.35 * square_.next();
        double l = 0.8 * s0 + 0.55 * s1 + 0.2 * s2 + sq;
        double r = 0.2 * s0 + 0.55 * s1 + 0.8 * s2 + sq;
        left[i] += static_cast<float>(filter_l_.process(l) * env * gain);
        right[i] += static_cast<float>(filter_r_.process(r) * env * gain);
    }
    return !amp_.done();
}

BellVoice::BellVoice(const NoteOn &note, double fs)
    : fs_(fs), note_(note), amp_({0.002, 2.4, 0.0, 0.7}, fs), strike_(0.25, fs) {
    note_.gate = gate_of(note);
    amp_.gate_on();
}

bool BellVoice::render(float *left, float *right, int n, const VoiceControls &) {
    const double gain = 0.42 * note_.velocity;
    const double fl = note_.freq * cents(-3.0) / fs_;
    const double fr = note_.freq * cents(3.0) / fs_;
    const double fm = note_.freq * 4.0 / fs_;
    for (int i = 0; i < n; ++i, ++age_) {
        if (age_ == note_.gate) amp_.gate_off();
        // Brightness dies away faster than the tone: the strike, then the ring.
        double index = (0.3 + 2.2 * strike_.next()) / kTwoPi;
        double mod = index * sin_turns(modulator_);
        double env = amp_.next();
        left[i] += static_cast<float>(sin_turns(carrier_l_ + mod) * env * gain);
        right[i] += static_cast<float>(sin_turns(carrier_r_ + mod) * env * gain);
        carrier_l_ += fl;
        carrier_r_ += fr;
        modulator_ += fm;
        if (carrier_l_ >= 1.0) carrier_l_ -= 1.0;
        if (carrier_r_ >= 1.0) carrier_r_ -= 1.0;
        if (modulator_ >= 1.0) modulator_ -= 1.0;
    }
    return !amp_.done();
}

} // namespace tune
