#pragma once
#include "dsp_math.h"
#include "rng.h"

namespace tune {

enum class Wave { Sine, Saw, Square, Noise };

// PolyBLEP correction for a unit step at phase 0 of a phase that advances by dt per sample.
inline double poly_blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// Band-limited oscillator; all waves span [-1, 1].
class Oscillator {
  public:
    explicit Oscillator(Wave wave = Wave::Saw, double phase = 0.0, std::uint64_t seed = 1)
        : wave_(wave), phase_(phase - floor_d(phase)), noise_(seed) {}

    void set_freq(double hz, double fs) {
        dt_ = hz / fs;
        if (dt_ > 0.45) dt_ = 0.45;
        if (dt_ < 0.0) dt_ = 0.0;
    }
    double phase() const { return phase_; }

    double next() {
        double t = phase_;
        phase_ += dt_;
        if (phase_ >= 1.0) phase_ -= 1.0;
        switch (wave_) {
        case Wave::Sine:
            return sin_turns(t);
        case Wave::Saw:
            return 2.0 * t - 1.0 - poly_blep(t, dt_);
        case Wave::Square: {
            double v = t < 0.5 ? 1.0 : -1.0;
            double t2 = t + 0.5;
            if (t2 >= 1.0) t2 -= 1.0;
            return v + poly_blep(t, dt_) - poly_blep(t2, dt_);
        }
        case Wave::Noise:
            return noise_.bipolar();
        }
        return 0.0;
    }

  private:
    Wave wave_;
    double phase_;
    double dt_ = 0.0;
    Rng noise_;
};

} // namespace tune
