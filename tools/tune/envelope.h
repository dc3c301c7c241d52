#pragma once

namespace tune {

struct AdsrParams {
    double attack = 0.005; // seconds, linear rise
    double decay = 0.1;    // seconds to settle near the sustain level
    double sustain = 0.7;  // level
    double release = 0.2;  // seconds to reach silence
};

// ADSR whose every stage starts from the current level, so retriggers and early releases never
// jump. Decay and release are exponential curves aimed slightly past their goal, which lets them
// arrive in finite time instead of approaching forever.
class Adsr {
  public:
    enum class Stage { Idle, Attack, Decay, Sustain, Release };

    Adsr(const AdsrParams &params, double fs);

    void gate_on();
    void gate_off();
    double next();

    Stage stage() const { return stage_; }
    bool done() const { return stage_ == Stage::Idle; }
    double level() const { return level_; }

  private:
    AdsrParams p_;
    double attack_step_;
    double decay_coeff_;
    double release_coeff_;
    Stage stage_ = Stage::Idle;
    double level_ = 0.0;
};

} // namespace tune
