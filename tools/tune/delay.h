#pragma once
#include <vector>

namespace tune {

// Ping-pong echo: the input enters on the left and each repeat crosses to the other side,
// darker and quieter than the last.
class PingPongDelay {
  public:
    PingPongDelay(long delay_samples, double feedback, double damping_hz, double fs);

    // Writes the wet signal only.
    void process(const float *in_l, const float *in_r, float *out_l, float *out_r, int n);

  private:
    std::vector<float> line_l_, line_r_;
    long pos_ = 0;
    double feedback_;
    double damp_;
    double lp_l_ = 0.0, lp_r_ = 0.0;
};

} // namespace tune
