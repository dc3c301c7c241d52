#include "fx_voices.h"

#include "dsp_math.h"

namespace tune {

RiserVoice::RiserVoice(const NoteOn &note, double fs)
    : fs_(fs), note_(note), length_(note.gate > 0 ? note.gate : 1), noise_l_(note.seed),
      noise_r_(note.seed * 17 + 5), band_l_(Svf::Mode::BandPass), band_r_(Svf::Mode::BandPass),
      saw_(Wave::Saw), saw_filter_(Svf::Mode::LowPass) {}

bool RiserVoice::render(float *left, float *right, int n, const VoiceControls &) {
    const double fade_samples = 0.012 * fs_;
    for (int i = 0; i < n && age_ < length_; ++i, ++age_) {
        double x = static_cast<double>(age_) / static_cast<double>(length_);
        if (age_ % kControlInterval == 0) {
            double sweep = 250.0 * exp2_d(5.0 * x); // 250 Hz .. 8 kHz
            band_l_.set(sweep, 2.2, fs_);
            band_r_.set(sweep * 1.06, 2.2, fs_);
            saw_.set_freq(note_.freq * exp2_d(x), fs_);
            saw_filter_.set(400.0 + 5000.0 * x * x, 0.8, fs_);
        }
        double level = x * x * note_.velocity;
        double remaining = static_cast<double>(length_ - age_);
        if (remaining < fade_samples) level *= remaining / fade_samples;
        if (age_ < 64) level *= static_cast<double>(age_) / 64.0;
        double tone = 0.25 * saw_filter_.process(saw_.next());
        left[i] += static_cast<float>((1.6 * band_l_.process(noise_l_.bipolar()) + tone) * level);
        right[i] += static_cast<float>((1.6 * band_r_.process(noise_r_.bipolar()) + tone) * level);
    }
    return age_ < length_;
}

ImpactVoice::ImpactVoice(const NoteOn &note, double fs)
    : fs_(fs), velocity_(note.velocity), length_(static_cast<long>(3.5 * fs)), noise_(note.seed),
      thud_(Svf::Mode::LowPass), sweep_(0.08, fs), boom_(1.0, fs), thud_env_(0.15, fs) {
    thud_.set(700.0, 0.7, fs);
}

bool ImpactVoice::render(float *left, float *right, int n, const VoiceControls &) {
    for (int i = 0; i < n && age_ < length_; ++i, ++age_) {
        double t = static_cast<double>(age_) / fs_;
        double freq = 36.0 + 80.0 * sweep_.next();
        double boom = sin_turns(phase_) * boom_.next();
        phase_ += freq / fs_;
        if (phase_ >= 1.0) phase_ -= 1.0;
        double thud = 0.8 * thud_.process(noise_.bipolar()) * thud_env_.next();
        double env = t < 0.002 ? t / 0.002 : 1.0;
        double remaining = static_cast<double>(length_ - age_) / (0.05 * fs_);
        if (remaining < 1.0) env *= remaining;
        double v = soft_clip(1.4 * (boom + thud)) * env * velocity_;
        left[i] += static_cast<float>(v);
        right[i] += static_cast<float>(v);
    }
    return age_ < length_;
}

} // namespace tune
