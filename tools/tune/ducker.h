#pragma once

namespace tune {

// Side-chain pump keyed by kick triggers rather than by the kick's audio, so the curve is the same
// on every beat. next() returns how far down the key currently pushes, 0..1; a channel applies
// 1 - depth * amount.
class Ducker {
  public:
    Ducker(double attack_s, double release_s, double fs);

    void trigger();
    double next();

  private:
    double attack_;  // samples
    double release_; // samples
    double age_;
    double from_ = 0.0;
    double amount_ = 0.0;
};

} // namespace tune
