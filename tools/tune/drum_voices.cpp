#include "drum_voices.h"

#include "dsp_math.h"

namespace tune {

namespace {

// Linear ramp over the first samples: drums start from silence without a step.
double attack_ramp(long age, double fs, double seconds) {
    double a = static_cast<double>(age) / (seconds * fs);
    return a < 1.0 ? a : 1.0;
}

// Linear fade over the last samples so a voice ends exactly at zero.
double tail_fade(long age, long length, double fs) {
    double left = static_cast<double>(length - age) / (0.01 * fs);
    return left < 1.0 ? (left > 0.0 ? left : 0.0) : 1.0;
}

long seconds_to_samples(double s, double fs) {
    return static_cast<long>(s * fs);
}

} // namespace

KickVoice::KickVoice(const NoteOn &note, double fs)
    : fs_(fs), velocity_(note.velocity), length_(seconds_to_samples(0.55, fs)), noise_(note.seed),
      click_filter_(Svf::Mode::HighPass), sweep_(0.032, fs), tail_(0.2, fs), body_(0.3, fs),
      click_(0.0025, fs) {
    click_filter_.set(2500.0, 0.7, fs);
}

bool KickVoice::render(float *left, float *right, int n, const VoiceControls &) {
    for (int i = 0; i < n && age_ < length_; ++i, ++age_) {
        double freq = 47.0 + 125.0 * sweep_.next() + 20.0 * tail_.next();
        double body = sin_turns(phase_) * body_.next();
        phase_ += freq / fs_;
        if (phase_ >= 1.0) phase_ -= 1.0;
        double click = click_filter_.process(noise_.bipolar()) * 0.35 * click_.next();
        double v = soft_clip(1.8 * (body + click)) * 0.9;
        v *= attack_ramp(age_, fs_, 0.0008) * tail_fade(age_, length_, fs_) * velocity_;
        left[i] += static_cast<float>(v);
        right[i] += static_cast<float>(v);
    }
    return age_ < length_;
}

SnareVoice::SnareVoice(const NoteOn &note, double fs)
    : fs_(fs), velocity_(note.velocity), tune_(note.freq / 440.0),
      length_(seconds_to_samples(0.45, fs)), noise_(note.seed), wires_(Svf::Mode::HighPass),
      shell1_(0.055, fs), shell2_(0.035, fs), bend_(0.01, fs), rattle_(0.13, fs) {
    wires_.set(1700.0, 0.8, fs);
}

bool SnareVoice::render(float *left, float *right, int n, const VoiceControls &) {
    for (int i = 0; i < n && age_ < length_; ++i, ++age_) {
        double shell =
            0.55 * sin_turns(phase1_) * shell1_.next() + 0.3 * sin_turns(phase2_) * shell2_.next();
        phase1_ += tune_ * (180.0 + 30.0 * bend_.next()) / fs_;
        phase2_ += tune_ * 330.0 / fs_;
        if (phase1_ >= 1.0) phase1_ -= 1.0;
        if (phase2_ >= 1.0) phase2_ -= 1.0;
        double wires = 0.75 * wires_.process(noise_.bipolar()) * rattle_.next();
        double v = (shell + wires) * attack_ramp(age_, fs_, 0.0006) *
                   tail_fade(age_, length_, fs_) * velocity_;
        left[i] += static_cast<float>(v);
        right[i] += static_cast<float>(v);
    }
    return age_ < length_;
}

ClapVoice::ClapVoice(const NoteOn &note, double fs)
    : fs_(fs), velocity_(note.velocity), length_(seconds_to_samples(0.5, fs)), noise_l_(note.seed),
      noise_r_(note.seed * 31 + 7), band_l_(Svf::Mode::BandPass), band_r_(Svf::Mode::BandPass) {
    band_l_.set(1150.0, 1.4, fs);
    band_r_.set(1250.0, 1.4, fs);
}

bool ClapVoice::render(float *left, float *right, int n, const VoiceControls &) {
    for (int i = 0; i < n && age_ < length_; ++i, ++age_) {
        double t = static_cast<double>(age_) / fs_;
        double env;
        if (t < 0.027) {
            // Three hands that do not quite land together.
            double burst = t - 0.009 * static_cast<int>(t / 0.009);
            env = exp_d(-burst / 0.0035) * (burst < 0.0004 ? burst / 0.0004 : 1.0);
        } else {
            double s = t - 0.027;
            env = exp_d(-s / 0.12) * (s < 0.0004 ? s / 0.0004 : 1.0);
        }
        env *= tail_fade(age_, length_, fs_) * velocity_ * 2.2;
        left[i] += static_cast<float>(band_l_.process(noise_l_.bipolar()) * env);
        right[i] += static_cast<float>(band_r_.process(noise_r_.bipolar()) * env);
    }
    return age_ < length_;
}

MetalVoice::MetalVoice(Kind kind, const NoteOn &note, double fs)
    : fs_(fs), velocity_(note.velocity), noise_l_(note.seed), noise_r_(note.seed * 131 + 3),
      high_l_(Svf::Mode::HighPass), high_r_(Svf::Mode::HighPass), env_(1.0, fs) {
    const double ratios[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double scale = 1.7;
    double cutoff = 7200.0;
    switch (kind) {
    case Kind::ClosedHat:
        decay_ = 0.035;
        noise_mix_ = 0.6;
        break;
    case Kind::OpenHat:
        decay_ = 0.2;
        noise_mix_ = 0.6;
        break;
    case Kind::Crash:
        decay_ = 0.9;
        noise_mix_ = 1.2;
        scale = 2.3;
        cutoff = 4200.0;
        break;
    }
    length_ = seconds_to_samples(decay_ * 6.0, fs);
    env_ = Decay(decay_, fs);
    Rng rng(note.seed);
    for (int i = 0; i < 6; ++i) {
        partials_[i] = Oscillator(Wave::Square, rng.unit());
        partials_[i].set_freq(ratios[i] * scale, fs);
    }
    high_l_.set(cutoff, 0.9, fs);
    high_r_.set(cutoff * 1.08, 0.9, fs);
}

bool MetalVoice::render(float *left, float *right, int n, const VoiceControls &) {
    for (int i = 0; i < n && age_ < length_; ++i, ++age_) {
        double metal = 0.0;
        for (auto &p : partials_) metal += p.next();
        metal *= 1.0 / 6.0;
        double env = env_.next() * attack_ramp(age_, fs_, 0.0004) * tail_fade(age_, length_, fs_) *
                     velocity_ * 0.9;
        left[i] +=
            static_cast<float>(high_l_.process(metal + noise_mix_ * noise_l_.bipolar()) * env);
        right[i] +=
            static_cast<float>(high_r_.process(metal + noise_mix_ * noise_r_.bipolar()) * env);
    }
    return age_ < length_;
}

} // namespace tune
