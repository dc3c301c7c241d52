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

std::vector<unsigned char> parse_message(const char *text) {
    std::vector<unsigned char> bytes;
    for (const char *p = text; *p;) {
        char *end;
        const unsigned long byte = std::strtoul(p, &end, 16);
        if (end == p) break;
        bytes.push_back(static_cast<unsigned char>(byte));
        p = *end == ',' ? end + 1 : end;
    }
    return bytes;
}

// RtMidi does not tell whether anyone listens; a second, plain JACK client asks the server.
bool wait_for_reader(const std::string &port_name, int timeout_ms) {
    jack_client_t *client = jack_client_open("midi-send-watch", JackNoStartServer, nullptr);
    if (!client) return false;
    bool connected = false;
    for (int waited = 0; !connected && waited < timeout_ms; waited += 10) {
        jack_port_t *port = jack_port_by_name(client, port_name.c_str());
        const char **readers = port ? jack_port_get_all_connections(client, port) : nullptr;
        connected = readers != nullptr;
        jack_free(readers);
        if (!connected) sleep_ms(10);
    }
    jack_client_close(client);
    return connected;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: midi_send NAME [--latency COUNT CONTROLLER | MESSAGE...]\n");
        return 2;
    }
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
    std::fflush(stdout);
    if (!wait_for_reader(name + ":out", 20000)) {
        std::fprintf(stderr, "midi_send: nobody connected to %s:out\n", name.c_str());
        return 1;
    }
    std::printf("connected\n");
    std::fflush(stdout);
    if (argc == 5 && std::string(argv[2]) == "--latency") {
        const int count = std::atoi(argv[3]);
        const unsigned char controller = static_cast<unsigned char>(std::atoi(argv[4]));
        for (int k = 0; k < count; ++k) {
            const std::vector<unsigned char> message = {0xB0, controller,
                                                        static_cast<unsigned char>(1 + k % 127)};
            const long long sent = now_ns();
            out.sendMessage(&message);
            std::printf("%d %lld\n", k, sent);
            sleep_ms(10);
        }
    } else {
        for (int i = 2; i < argc; ++i) {
            const std::vector<unsigned char> message = parse_message(argv[i]);
            out.sendMessage(&message);
        }
    }
    std::fflush(stdout);
    sleep_ms(300); // the last messages leave with the next JACK cycles
    return 0;
}
