// A MIDI device for the end-to-end runs: a JACK client with one output port that, once a reader
// has connected to it, sends either the messages given or a seeded random stream.
//   midi_send NAME b0,07,7f c0,05 f8 ...          one message per argument, hex bytes
//   midi_send NAME INDEX PORTS RATE SECONDS SEED  a stream of every kind of message at RATE a
//       second for SECONDS; several run at once, each owning the controllers c with
//       c % PORTS == INDEX, so the last value of every controller is known whatever the
//       interleaving (controller 0, where every one-byte message lands, only ever gets 0)
// A message always starts with a status byte (80 to ff), a stream with its INDEX (below PORTS).
// Prints "ready" once the port exists; a stream then prints "sent N" and one "entry C TEXT" per
// controller it touched, TEXT being the controller's entry in the demo's clipboard line.
#include <RtMidi.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <jack/jack.h>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Message = std::vector<unsigned char>;

// RtMidi does not tell whether anyone listens; a second, plain JACK client asks the server.
bool wait_for_reader(const std::string &port_name) {
    jack_client_t *client = jack_client_open("midi-send-watch", JackNoStartServer, nullptr);
    bool connected = false;
    for (int waited = 0; client && !connected && waited < 60000; waited += 10) {
        jack_port_t *port = jack_port_by_name(client, port_name.c_str());
        const char **readers = port ? jack_port_get_all_connections(client, port) : nullptr;
        connected = readers != nullptr;
        jack_free(readers);
        if (!connected) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (client) jack_client_close(client);
    return connected;
}

Message parse_hex(const char *text) {
    Message message;
    unsigned byte;
    int used;
    for (const char *p = text; std::sscanf(p, "%x%n", &byte, &used) == 1; p += used + 1) {
        message.push_back(static_cast<unsigned char>(byte));
        if (p[used] != ',') break;
    }
    return message;
}

// One port's stream; last[c] is the byte each message leaves in the bank: the second data byte
// under the first, missing bytes being 0. Sysex is dropped by the input: it must leave no trace.
void send_stream(RtMidiOut &out, unsigned index, unsigned ports, double rate, double seconds,
                 unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&](unsigned n) {
        return std::uniform_int_distribution<unsigned>(0, n - 1)(random);
    };
    std::map<unsigned, unsigned> last;
    const Clock::time_point start = Clock::now();
    const auto period = std::chrono::duration<double>(1.0 / rate);
    long sent = 0;
    // On a schedule rather than with fixed sleeps, so a late wake-up is caught up.
    for (; period * sent <= std::chrono::duration<double>(seconds); ++sent) {
        std::this_thread::sleep_until(start +
                                      std::chrono::duration_cast<Clock::duration>(period * sent));
        const unsigned kind = pick(10),
                       controller = index + ports * pick((127 - index) / ports + 1);
        Message m;
        if (kind < 7) { // 0x80 to 0xE0; program and channel pressure carry one data byte
            m = {static_cast<unsigned char>((0x80 + 0x10 * kind) | pick(16)),
                 static_cast<unsigned char>(controller)};
            if (kind != 4 && kind != 5) m.push_back(controller ? pick(128) : 0);
            last[controller] = m.size() > 2 ? m[2] : 0;
        } else if (kind < 9) {
            static const unsigned char real_time[] = {0xF8, 0xFA, 0xFB, 0xFC, 0xFE};
            m = {real_time[pick(5)]};
            last[0] = 0;
        } else {
            m = {0xF0, 0x7D};
            for (unsigned i = pick(6); i > 0; --i)
                m.push_back(static_cast<unsigned char>(pick(128)));
            m.push_back(0xF7);
        }
        out.sendMessage(&m);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // leaves with the next cycles
    std::printf("sent %ld\n", sent);
    for (const auto &[controller, byte] : last)
        std::printf("entry %u %u:%.2f(%u) \n", controller, controller,
                    static_cast<double>(static_cast<float>(byte / 127.0)), byte);
}

} // namespace

int main(int argc, char **argv) {
    const bool stream = argc == 7 && std::strtoul(argv[2], nullptr, 16) < 0x80;
    const long index = stream ? std::atol(argv[2]) : 0, ports = stream ? std::atol(argv[3]) : 1;
    const double rate = stream ? std::atof(argv[4]) : 1, seconds = stream ? std::atof(argv[5]) : 1;
    if (argc < 3 || ports < 1 || index < 0 || index >= ports || rate <= 0 || seconds <= 0) {
        std::fprintf(stderr, "usage: midi_send NAME HEX,HEX... ...\n"
                             "       midi_send NAME INDEX PORTS RATE SECONDS SEED\n");
        return 2;
    }
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
    if (stream)
        send_stream(out, static_cast<unsigned>(index), static_cast<unsigned>(ports), rate, seconds,
                    static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)));
    for (int k = 2; !stream && k < argc; ++k) {
        Message message = parse_hex(argv[k]);
        out.sendMessage(&message);
    }
    if (!stream) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return failed ? 1 : 0;
}
