// A MIDI device for the end-to-end runs: a JACK client with one output port that, once a reader
// has connected to it, sends either the messages given or a seeded random stream.
//   midi_send NAME b0,07,7f c0,05 f8 ...          one message per argument, hex bytes
//   midi_send NAME INDEX PORTS RATE SECONDS SEED  a stream of every kind of message at RATE a
//       second for SECONDS; several run at once, each owning the controllers c with
//       c % PORTS == INDEX, so the last value of every controller is known whatever the
//       interleaving (controller 0, where every one-byte message lands, only ever gets 0)
// A message always starts with a status byte (80 to ff), a stream with its INDEX (below PORTS).
// Prints "ready" once the port exists and "connected" once a reader is on it; a stream then
// prints "sent N", "kinds ..." and one "entry C TEXT" per controller it touched, TEXT being the
// controller's entry in the demo's clipboard line.
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
bool wait_for_reader(const std::string &port_name, int timeout_ms) {
    jack_client_t *client = jack_client_open("midi-send-watch", JackNoStartServer, nullptr);
    bool connected = false;
    for (int waited = 0; client && !connected && waited < timeout_ms; waited += 10) {
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

// The stream of one port, and the byte each message leaves in the bank: the second data byte
// under the first, missing bytes being 0.
class Stream {
  public:
    Stream(int index, int ports, unsigned seed) : index_(index), ports_(ports), random_(seed) {}

    Message next(std::string &kind) {
        static const char *const kinds[] = {"note-off",  "note-on", "poly-pressure",
                                            "control",   "program", "channel-pressure",
                                            "pitch-bend"};
        const unsigned pick_kind = pick(10), channel = pick(16);
        if (pick_kind < 7) { // 0x80 to 0xE0; program and channel pressure carry one data byte
            kind = kinds[pick_kind];
            const unsigned status = (0x80 + 0x10 * pick_kind) | channel, controller = owned();
            return pick_kind == 4 || pick_kind == 5 ? landed({status, controller})
                                                    : landed({status, controller, pick(128)});
        }
        if (pick_kind < 9) {
            kind = "real-time";
            static const unsigned real_time[] = {0xF8, 0xFA, 0xFB, 0xFC, 0xFE};
            return landed({real_time[pick(5)]});
        }
        kind = "sysex"; // dropped by the input: it must leave no trace
        Message sysex = {0xF0, 0x7D};
        for (unsigned i = pick(6); i > 0; --i)
            sysex.push_back(static_cast<unsigned char>(pick(128)));
        sysex.push_back(0xF7);
        return sysex;
    }
    const std::map<int, int> &last() const { return last_; }

  private:
    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    unsigned owned() { return index_ + ports_ * pick((127 - index_) / ports_ + 1); }
    Message landed(std::vector<unsigned> bytes) {
        const std::size_t size = bytes.size();
        if (size > 2 && bytes[1] == 0) bytes[2] = 0;
        last_[size > 1 ? bytes[1] : 0] = size > 2 ? bytes[2] : 0;
        return Message(bytes.begin(), bytes.end());
    }

    int index_, ports_;
    std::mt19937 random_;
    std::map<int, int> last_;
};

int send_stream(RtMidiOut &out, int index, int ports, double rate, double seconds, unsigned seed) {
    Stream stream(index, ports, seed);
    std::map<std::string, long> kinds;
    const Clock::time_point start = Clock::now();
    const auto period = std::chrono::duration<double>(1.0 / rate);
    long sent = 0;
    // On a schedule rather than with fixed sleeps, so a late wake-up is caught up.
    for (;; ++sent) {
        const auto due = start + std::chrono::duration_cast<Clock::duration>(period * sent);
        if (due - start > std::chrono::duration<double>(seconds)) break;
        std::this_thread::sleep_until(due);
        std::string kind;
        Message message = stream.next(kind);
        out.sendMessage(&message);
        ++kinds[kind];
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // leaves with the next cycles
    std::printf("sent %ld in %.1f s\nkinds", sent,
                std::chrono::duration<double>(Clock::now() - start).count());
    for (const auto &[kind, count] : kinds) std::printf(" %s=%ld", kind.c_str(), count);
    std::printf("\n");
    for (const auto &[controller, byte] : stream.last())
        std::printf("entry %d %d:%.2f(%d) \n", controller, controller,
                    static_cast<double>(static_cast<float>(byte / 127.0)), byte);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const bool stream = argc == 7 && std::strtoul(argv[2], nullptr, 16) < 0x80;
    const int index = stream ? std::atoi(argv[2]) : 0, ports = stream ? std::atoi(argv[3]) : 1;
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
    if (!wait_for_reader(name + ":out", 60000)) {
        std::fprintf(stderr, "midi_send: nobody connected to %s:out\n", name.c_str());
        return 1;
    }
    std::printf("connected\n");
    if (stream)
        send_stream(out, index, ports, rate, seconds,
                    static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)));
    for (int k = 2; !stream && k < argc; ++k) {
        Message message = parse_hex(argv[k]);
        out.sendMessage(&message);
    }
    if (!stream) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return failed ? 1 : 0;
}
