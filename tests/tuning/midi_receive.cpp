// The receiving end of the MIDI end-to-end tests: the process-wide bank, built before main with
// every device the machine offers, exactly as in the demo; it exports at exit as in the demo too.
//   midi_receive [C=BYTE...]        waits (5 s at most) until each controller C holds BYTE/127,
//                                   then prints "devices N" and the exported line
//   midi_receive --latency COUNT C  reads controller C like a scene script until it has seen
//                                   bytes 1..127 in turn COUNT times; prints "k seen_time_ns"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

long long now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int measure_latency(int count, int controller) {
    std::vector<long long> seen(count); // 0: overtaken by the next message before it was read
    const long long give_up = now_ns() + 60'000'000'000LL;
    for (int k = 0; k < count && now_ns() < give_up;) {
        const float value = value_or_default(controller, 0.0f);
        const long long now = now_ns();
        // The byte tells which message this is, even when the one before was overtaken.
        int ahead = 0;
        while (ahead < 16 && k + ahead < count &&
               value != static_cast<float>((1 + (k + ahead) % 127) / 127.0))
            ++ahead;
        if (ahead < 16 && k + ahead < count) {
            k += ahead;
            seen[k++] = now;
        } else {
            std::this_thread::yield();
        }
    }
    for (int k = 0; k < count; ++k)
        if (seen[k]) std::printf("%d %lld\n", k, seen[k]);
    return seen[count - 1] ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 4 && std::string(argv[1]) == "--latency")
        return measure_latency(std::atoi(argv[2]), std::atoi(argv[3]));
    const auto all_arrived = [&] {
        for (int i = 1; i < argc; ++i) {
            int controller, byte;
            if (std::sscanf(argv[i], "%d=%d", &controller, &byte) != 2 ||
                !Tuning.is_touched(controller) ||
                Tuning.value(controller) != static_cast<float>(byte / 127.0))
                return false;
        }
        return true;
    };
    for (int waited = 0; !all_arrived() && waited < 5000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Anything that should have been dropped was sent before the last expected message.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    char line[TunedValuesLineSize];
    format_tuned_values(Tuning, line, sizeof line);
    std::printf("devices %u\n%s\n", Tuning.device_count, line);
    return all_arrived() ? 0 : 1;
}
