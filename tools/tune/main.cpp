// tune-composer: renders the demo's music and writes it as MP3 and/or WAV.
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

#include "composition.h"
#include "mp3_encoder.h"
#include "pcm.h"
#include "renderer.h"
#include "timing.h"
#include "wav_file.h"

namespace {

constexpr const char *kTitle = "avada kedabra!";

void usage(std::FILE *to) {
    std::fprintf(to,
                 "usage: tune-composer [--out FILE.mp3] [--wav FILE.wav] [--hash]\n"
                 "Renders the demo's music (44.1 kHz stereo) deterministically.\n"
                 "  --out FILE   write MP3 (192 kbit/s CBR, ID3 title \"%s\")\n"
                 "  --wav FILE   write 16-bit PCM WAV\n"
                 "  --hash       print the FNV-1a 64 hash of the rendered 16-bit PCM\n"
                 "  --help       show this help\n",
                 kTitle);
}

// Fails before the render rather than after it.
bool writable(const std::string &path) {
    std::ofstream probe(path, std::ios::binary | std::ios::app);
    return static_cast<bool>(probe);
}

} // namespace

int main(int argc, char **argv) {
    std::string mp3_path, wav_path;
    bool print_hash = false;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            usage(stdout);
            return 0;
        }
        if (std::strcmp(a, "--hash") == 0) {
            print_hash = true;
        } else if (std::strcmp(a, "--out") == 0 || std::strcmp(a, "--wav") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "tune-composer: %s needs a file name\n", a);
                usage(stderr);
                return 2;
            }
            (std::strcmp(a, "--out") == 0 ? mp3_path : wav_path) = argv[++i];
        } else {
            std::fprintf(stderr, "tune-composer: unknown option '%s'\n", a);
            usage(stderr);
            return 2;
        }
    }
    if (mp3_path.empty() && wav_path.empty() && !print_hash) {
        std::fprintf(stderr, "tune-composer: nothing to do\n");
        usage(stderr);
        return 2;
    }
    for (const std::string *p : {&mp3_path, &wav_path}) {
        if (!p->empty() && !writable(*p)) {
            std::fprintf(stderr, "tune-composer: cannot write '%s': %s\n", p->c_str(),
                         std::strerror(errno));
            return 1;
        }
    }

    try {
        tune::Rendering r = tune::render(tune::compose());
        if (!wav_path.empty())
            tune::write_wav(wav_path, r.pcm, 2, static_cast<int>(tune::kSampleRate));
        if (!mp3_path.empty()) {
            tune::Mp3Options opts;
            opts.title = kTitle;
            auto bytes = tune::encode_mp3(r.pcm, static_cast<int>(tune::kSampleRate), opts);
            std::ofstream out(mp3_path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char *>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                std::fprintf(stderr, "tune-composer: cannot write '%s'\n", mp3_path.c_str());
                return 1;
            }
        }
        if (print_hash) std::printf("%s\n", tune::hash_hex(tune::pcm_hash(r.pcm)).c_str());
        std::fprintf(stderr, "tune-composer: %.2f s, make-up %+.2f dB, %.2f LUFS\n",
                     static_cast<double>(r.pcm.size() / 2) / tune::kSampleRate, r.master.gain_db,
                     r.master.loudness_lufs);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tune-composer: %s\n", e.what());
        return 1;
    }
    return 0;
}
