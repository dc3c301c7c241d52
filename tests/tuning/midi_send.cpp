// A MIDI device for the end-to-end tests: a JACK client with one output port that waits until a
// reader has connected to it, then sends the messages given on its command line.
//   midi_send NAME b0,07,7f c0,05 f8 ...      one message per argument, hex bytes
//   midi_send NAME --latency COUNT CONTROLLER  COUNT control changes 10 ms apart, bytes 1..127 in
//                                              turn, each printed as "k send_time_ns"
// Prints "ready" once the port exists and "connected" once a reader is on it.
#include <RtMidi.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <jack/jack.h>
#include <string>
#include <thread>
#include <vector>

namespace {

long long now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// RtMidi does not tell whether anyone listens; a second, plain JACK client asks the server.
bool wait_for_reader(const std::string &port_name) {
    jack_client_t *client = jack_client_open("midi-send-watch", JackNoStartServer, nullptr);
    bool connected = false;
    for (int waited = 0; client && !connected && waited < 20000; waited += 10) {
        jack_port_t *port = jack_port_by_name(client, port_name.c_str());
        const char **readers = port ? jack_port_get_all_connections(client, port) : nullptr;
        connected = readers != nullptr;
        jack_free(readers);
        if (!connected) sleep_ms(10);
    }
    if (client) jack_client_close(client);
    return connected;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) return 2;
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // the scripts wait for whole lines
    const std::string name = argv[1];
    RtMidiOut out(RtMidi::UNIX_JACK, name);
    static bool failed = false;
    out.setErrorCallback([](RtMidiError::Type type, const std::string &text, void *) {
        std::fprintf(stderr, "midi_send: %s\n", text.c_str());
        failed = failed || type != RtMidiError::WARNING;
    });
    out.openVirtualPort("out");
    if (failed) return 1;
    std::printf("ready\n");
    if (!wait_for_reader(name + ":out")) {
        std::fprintf(stderr, "midi_send: nobody connected to %s:out\n", name.c_str());
        return 1;
    }
    std::printf("connected\n");
    const bool latency = argc == 5 && std::string(argv[2]) == "--latency";
    const int count = latency ? std::atoi(argv[3]) : argc - 2;
    for (int k = 0; k < count; ++k) {
        std::vector<unsigned char> message;
        unsigned byte;
        int used;
        if (latency)
            message = {0xB0, static_cast<unsigned char>(std::atoi(argv[4])),
                       static_cast<unsigned char>(1 + k % 127)};
        else
            for (const char *p = argv[2 + k]; std::sscanf(p, "%x%n", &byte, &used) == 1;
                 p += used + 1) {
                message.push_back(static_cast<unsigned char>(byte));
                if (p[used] != ',') break;
            }
        const long long sent = now_ns();
        out.sendMessage(&message);
        if (!latency) continue;
        std::printf("%d %lld\n", k, sent);
        sleep_ms(10);
    }
    sleep_ms(300); // the last messages leave with the next JACK cycles
    return 0;
}
