// The receiving end of the MIDI end-to-end tests: the process-wide bank, built before main with
// every device the machine offers, exactly as in the demo; it exports at exit as in the demo too.
//   midi_receive [C=BYTE...]  waits (5 s at most) until each controller C holds BYTE/127, then
//                             prints "devices N" and the exported line
//   midi_receive --rescan ... the same over 30 s, rescanning the devices every 100 ms as the
//                             studio does; N is then the count of the last rescan
#include "platform/midi_in.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char **argv) {
    const bool rescan = argc > 1 && std::string(argv[1]) == "--rescan";
    unsigned devices = Tuning.device_count;
    const auto all_arrived = [&] {
        if (rescan) devices = midi_in_rescan();
        for (int i = rescan ? 2 : 1; i < argc; ++i) {
            int controller, byte;
            if (std::sscanf(argv[i], "%d=%d", &controller, &byte) != 2 ||
                !Tuning.is_touched(controller) ||
                Tuning.value(controller) != static_cast<float>(byte / 127.0))
                return false;
        }
        return true;
    };
    for (int waited = 0; !all_arrived() && waited < (rescan ? 30000 : 5000); waited += 100)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Anything that should have been dropped was sent before the last expected message.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    char line[TunedValuesLineSize];
    format_tuned_values(Tuning, line, sizeof line);
    std::printf("devices %u\n%s\n", devices, line);
    return all_arrived() ? 0 : 1;
}
