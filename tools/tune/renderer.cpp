#include "renderer.h"

#include "mixer.h"
#include "pcm.h"
#include "timing.h"

namespace tune {

Rendering render(const Score &score) {
    std::vector<float> stereo = mix(score, kSampleRate);
    Rendering r;
    r.master = master(stereo, score, MasterParams{}, kSampleRate);
    r.pcm = to_pcm16(stereo);
    return r;
}

} // namespace tune
