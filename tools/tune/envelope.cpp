#include "envelope.h"

#include "dsp_math.h"

namespace tune {

namespace {
constexpr double kOvershoot = 0.02;

// Coefficient for a curve that covers `seconds` when aimed kOvershoot past its goal.
double curve_coeff(double seconds, double fs) {
    // ln((1 + o) / o) time constants take the curve from start to goal.
    constexpr double kTimeConstants = 3.9318256327243257; // ln(51)
    return decay_coeff(seconds / kTimeConstants, fs);
}
} // namespace

Adsr::Adsr(const AdsrParams &params, double fs)
    : p_(params), attack_step_(params.attack > 0.0 ? 1.0 / (params.attack * fs) : 1.0),
      decay_coeff_(curve_coeff(params.decay, fs)), release_coeff_(curve_coeff(params.release, fs)) {
}

void Adsr::gate_on() {
    stage_ = Stage::Attack;
}

void Adsr::gate_off() {
    if (stage_ != Stage::Idle) stage_ = Stage::Release;
}

double Adsr::next() {
    switch (stage_) {
    case Stage::Idle:
        return 0.0;
    case Stage::Attack:
        level_ += attack_step_;
        if (level_ >= 1.0) {
            level_ = 1.0;
            stage_ = Stage::Decay;
        }
        break;
    case Stage::Decay: {
        double goal = p_.sustain - kOvershoot * (1.0 - p_.sustain);
        level_ = goal + (level_ - goal) * decay_coeff_;
        if (level_ <= p_.sustain) {
            level_ = p_.sustain;
            stage_ = p_.sustain > 0.0 ? Stage::Sustain : Stage::Idle;
        }
        break;
    }
    case Stage::Sustain:
        level_ = p_.sustain;
        break;
    case Stage::Release: {
        double goal = -kOvershoot;
        level_ = goal + (level_ - goal) * release_coeff_;
        if (level_ <= 0.0) {
            level_ = 0.0;
            stage_ = Stage::Idle;
        }
        break;
    }
    }
    return level_;
}

} // namespace tune
