// A MIDI device for the end-to-end runs: a JACK client with one output port that, once a reader
// has connected to it and the server has run with that connection, sends either the messages
// given or a seeded random stream, and leaves once the server has carried them out.
//   midi_send NAME b0,07,7f c0,05 f8 ...          one message per argument, hex bytes
//   midi_send NAME --every MS b0,07,7f ...        the same, one every MS milliseconds; fails
//       if its reader disconnects before the last is sent
//   midi_send NAME INDEX PORTS RATE SECONDS SEED  a stream of every kind of message at RATE a
//       second for SECONDS; several run at once, each owning the controllers c with
//       c % PORTS == INDEX, so the last value of every controller is known whatever the
//       interleaving (controller 0, where every one-byte message lands, only ever gets 0)
// A message always starts with a status byte (80 to ff), a stream with its INDEX (below PORTS).
// Prints "ready" once the port exists and is watched; a stream then prints "sent N" and one
// "entry C TEXT" per controller it touched, TEXT being its entry in the demo's clipboard line.
#include <RtMidi.h>
#include <atomic>
#include <cctype>
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

// RtMidi does not tell whether anyone listens; a second, plain JACK client watches the port: its
// connections, and the server's process cycles, which carry a message from our port to a reader.
struct Watch {
    std::string port_name;
    jack_client_t *client = nullptr;
    std::atomic<long> cycles{0};
    std::atomic<bool> watching{false}, reader_left{false};

    explicit Watch(std::string name) : port_name(std::move(name)) {
        client = jack_client_open("midi-send-watch", JackNoStartServer, nullptr);
        if (!client) return;
        jack_set_process_callback(
            client,
            [](jack_nframes_t, void *self) { return ++static_cast<Watch *>(self)->cycles, 0; },
            this);
        jack_set_port_connect_callback(client, note_connection, this);
        jack_activate(client);
    }
    ~Watch() {
        if (client) jack_client_close(client);
    }
    // A reader that disconnects between its first connection and our last message (one that reopens
    // our port) may lose some.
    static void note_connection(jack_port_id_t a, jack_port_id_t b, int connect, void *arg) {
        Watch &watch = *static_cast<Watch *>(arg);
        for (jack_port_id_t id : {a, b}) {
            const jack_port_t *port = connect ? nullptr : jack_port_by_id(watch.client, id);
            if (port && watch.watching && watch.port_name == jack_port_name(port))
                watch.reader_left = true;
        }
    }
    bool wait_for_reader() {
        jack_port_t *port = client ? jack_port_by_name(client, port_name.c_str()) : nullptr;
        for (int waited = 0; port && waited < 60000; waited += 10) {
            const char **readers = jack_port_get_all_connections(client, port);
            jack_free(readers);
            if (readers) return watching = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // A cycle that began before a change may not carry it (a new connection, a message queued for
    // the port): three more have.
    void wait_cycles() {
        const long until = cycles.load() + 3;
        while (client && cycles.load() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

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
    std::printf("sent %ld\n", sent);
    for (const auto &[controller, byte] : last)
        std::printf("entry %u %u:%.2f(%u) \n", controller, controller,
                    static_cast<double>(static_cast<float>(byte / 127.0)), byte);
}

} // namespace

int main(int argc, char **argv) {
    const bool stream = argc == 7 && std::isdigit(static_cast<unsigned char>(argv[2][0])) &&
                        std::strtoul(argv[2], nullptr, 16) < 0x80;
    const long index = stream ? std::atol(argv[2]) : 0, ports = stream ? std::atol(argv[3]) : 1;
    const double rate = stream ? std::atof(argv[4]) : 1, seconds = stream ? std::atof(argv[5]) : 1;
    const bool paced = !stream && argc > 4 && std::string(argv[2]) == "--every";
    const long every_ms = paced ? std::atol(argv[3]) : 0;
    if (argc < 3 || ports < 1 || index < 0 || index >= ports || rate <= 0 || seconds <= 0 ||
        every_ms < 0) {
        std::fprintf(stderr, "usage: midi_send NAME [--every MS] HEX,HEX... ...\n"
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
    Watch watch(name + ":out");
    if (failed) return 1;
    std::printf("ready\n");
    if (!watch.wait_for_reader()) {
        std::fprintf(stderr, "midi_send: nobody connected to %s:out\n", name.c_str());
        return 1;
    }
    watch.wait_cycles();
    if (stream)
        send_stream(out, static_cast<unsigned>(index), static_cast<unsigned>(ports), rate, seconds,
                    static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)));
    const Clock::time_point start = Clock::now();
    const int first = paced ? 4 : 2;
    for (int k = first; !stream && k < argc; ++k) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(every_ms * (k - first)));
        Message message = parse_hex(argv[k]);
        out.sendMessage(&message);
    }
    watch.watching.store(false);
    watch.wait_cycles(); // what was queued has reached the reader's port
    if (watch.reader_left.load()) std::fprintf(stderr, "midi_send: the reader left meanwhile\n");
    return failed || watch.reader_left.load() ? 1 : 0;
}
