#pragma once

namespace tune {

// Trapezoidal state-variable filter: stays stable and keeps its tuning while the cutoff moves
// every few samples, which the envelopes and sweeps in the piece rely on.
class Svf {
  public:
    enum class Mode { LowPass, BandPass, HighPass };

    explicit Svf(Mode mode = Mode::LowPass) : mode_(mode) {}

    // q = 0.707 is flat; larger values add a resonant peak at the cutoff.
    void set(double cutoff_hz, double q, double fs);
    void reset() { ic1_ = ic2_ = 0.0; }

    double process(double x) {
        double v3 = x - ic2_;
        double v1 = a1_ * ic1_ + a2_ * v3;
        double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        switch (mode_) {
        case Mode::LowPass:
            return v2;
        case Mode::BandPass:
            return v1;
        case Mode::HighPass:
            return x - k_ * v1 - v2;
        }
        return v2;
    }

  private:
    Mode mode_;
    double k_ = 1.414;
    double a1_ = 1.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

} // namespace tune
