// A MIDI device for the soak run: one JACK output port that, once a reader is connected, sends a
// seeded random stream of every kind of message at a steady rate for a given time, then prints
// the entries the demo's clipboard line must hold for it.
//   midi_flood NAME INDEX PORTS RATE SECONDS SEED
// Several run at once. Each owns the controllers c with c % PORTS == INDEX, so the last value of
// every controller is known whatever the interleaving; controller 0, which every one-byte message
// lands on, only ever receives 0. Prints "ready", "connected", then "sent N", "kinds ..." and one
// "entry C TEXT" per touched controller.
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

// RtMidi does not tell whether anyone listens; a second, plain JACK client asks the server.
bool wait_for_reader(const std::string &port_name, int timeout_ms) {
    jack_client_t *client = jack_client_open("midi-flood-watch", JackNoStartServer, nullptr);
    if (!client) return false;
    bool connected = false;
    for (int waited = 0; !connected && waited < timeout_ms; waited += 10) {
        jack_port_t *port = jack_port_by_name(client, port_name.c_str());
        const char **readers = port ? jack_port_get_all_connections(client, port) : nullptr;
        connected = readers != nullptr;
        jack_free(readers);
        if (!connected) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    jack_client_close(client);
    return connected;
}

class Stream {
  public:
    Stream(int index, int ports, unsigned seed) : index_(index), ports_(ports), random_(seed) {}

    // The next message, and the controller and byte it leaves in the bank (the bank stores the
    // second data byte under the first, missing bytes being 0).
    std::vector<unsigned char> next(std::string &kind) {
        const unsigned channel = pick(16);
        switch (pick(10)) {
        case 0:
            kind = "control";
            return landed({0xB0 | channel, owned(), byte()});
        case 1:
            kind = "note-on";
            return landed({0x90 | channel, owned(), byte()});
        case 2:
            kind = "note-off";
            return landed({0x80 | channel, owned(), byte()});
        case 3:
            kind = "poly-pressure";
            return landed({0xA0 | channel, owned(), byte()});
        case 4:
            kind = "program";
            return landed({0xC0 | channel, owned()});
        case 5:
            kind = "channel-pressure";
            return landed({0xD0 | channel, owned()});
        case 6:
            kind = "pitch-bend";
            return landed({0xE0 | channel, owned(), byte()});
        case 7:
        case 8: {
            kind = "real-time";
            static const unsigned char real_time[] = {0xF8, 0xFA, 0xFB, 0xFC, 0xFE};
            return landed({real_time[pick(5)]});
        }
        default: {
            // Dropped by the input: it must leave no trace.
            kind = "sysex";
            std::vector<unsigned char> sysex = {0xF0, 0x7D};
            for (unsigned i = pick(6); i > 0; --i) sysex.push_back(byte());
            sysex.push_back(0xF7);
            return sysex;
        }
        }
    }

    const std::map<int, int> &last() const { return last_; }

  private:
    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    unsigned byte() { return pick(128); }
    unsigned owned() {
        const unsigned count = (127 - index_) / ports_ + 1;
        return index_ + ports_ * pick(count);
    }
    std::vector<unsigned char> landed(std::vector<unsigned> bytes) {
        const std::size_t size = bytes.size();
        if (size > 2 && bytes[1] == 0) bytes[2] = 0;
        last_[size > 1 ? bytes[1] : 0] = size > 2 ? bytes[2] : 0;
        return std::vector<unsigned char>(bytes.begin(), bytes.end());
    }

    int index_, ports_;
    std::mt19937 random_;
    std::map<int, int> last_;
};

} // namespace

int main(int argc, char **argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: midi_flood NAME INDEX PORTS RATE SECONDS SEED\n");
        return 2;
    }
    const std::string name = argv[1];
    const int index = std::atoi(argv[2]);
    const int ports = std::atoi(argv[3]);
    const double rate = std::atof(argv[4]);
    const double seconds = std::atof(argv[5]);
    if (ports < 1 || index < 0 || index >= ports || rate <= 0 || seconds <= 0) return 2;

    RtMidiOut out(RtMidi::UNIX_JACK, name);
    static bool failed = false;
    out.setErrorCallback([](RtMidiError::Type type, const std::string &text, void *) {
        std::fprintf(stderr, "midi_flood: %s\n", text.c_str());
        failed = failed || type != RtMidiError::WARNING;
    });
    out.openVirtualPort("out");
    if (failed) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    if (!wait_for_reader(name + ":out", 60000)) {
        std::fprintf(stderr, "midi_flood: nobody connected to %s:out\n", name.c_str());
        return 1;
    }
    std::printf("connected\n");
    std::fflush(stdout);

    Stream stream(index, ports, static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)));
    std::map<std::string, long> kinds;
    const Clock::time_point start = Clock::now();
    const auto period = std::chrono::duration<double>(1.0 / rate);
    long sent = 0;
    // On a schedule rather than with fixed sleeps, so a late wake-up is caught up.
    for (;; ++sent) {
        const Clock::time_point due =
            start + std::chrono::duration_cast<Clock::duration>(period * sent);
        if (due - start > std::chrono::duration<double>(seconds)) break;
        std::this_thread::sleep_until(due);
        std::string kind;
        std::vector<unsigned char> message = stream.next(kind);
        out.sendMessage(&message);
        ++kinds[kind];
    }
    // The last messages leave with the next JACK cycles.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::printf("sent %ld in %.1f s\nkinds", sent,
                std::chrono::duration<double>(Clock::now() - start).count());
    for (const auto &[kind, count] : kinds) std::printf(" %s=%ld", kind.c_str(), count);
    std::printf("\n");
    for (const auto &[controller, byte] : stream.last())
        std::printf("entry %d %d:%.2f(%d) \n", controller, controller,
                    static_cast<double>(static_cast<float>(byte / 127.0)), byte);
    return failed ? 1 : 0;
}
