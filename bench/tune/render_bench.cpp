// How long the piece takes to render and encode.
#include <benchmark/benchmark.h>

#include "composition.h"
#include "mixer.h"
#include "mp3_encoder.h"
#include "renderer.h"
#include "timing.h"

namespace {

void BM_RenderPiece(benchmark::State &state) {
    const tune::Score score = tune::compose();
    for (auto _ : state) {
        auto r = tune::render(score);
        benchmark::DoNotOptimize(r.pcm.data());
    }
    state.counters["audio_s"] = score.length;
}
BENCHMARK(BM_RenderPiece)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_MixOnly(benchmark::State &state) {
    const tune::Score score = tune::compose();
    for (auto _ : state) {
        auto mixed = tune::mix(score, tune::kSampleRate);
        benchmark::DoNotOptimize(mixed.data());
    }
}
BENCHMARK(BM_MixOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_EncodeMp3(benchmark::State &state) {
    const auto pcm = tune::render(tune::compose()).pcm;
    tune::Mp3Options opts;
    opts.title = "avada kedabra!";
    for (auto _ : state) {
        auto mp3 = tune::encode_mp3(pcm, static_cast<int>(tune::kSampleRate), opts);
        benchmark::DoNotOptimize(mp3.data());
    }
}
BENCHMARK(BM_EncodeMp3)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
