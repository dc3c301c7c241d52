// Writes a link for the end-to-end tests with the form's own writer and zlib, as the page does:
//   make_moment_link DATA_DIR TIME_MS [--loop FROM_MS TO_MS] [--paused] [--tuning LINE]
//                    [--edit NAME FILE]...
// The served hashes are those of DATA_DIR's files. The link goes to standard output.
#include "studio/moment_link.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <zlib.h>

static std::string read_file(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int main(int argc, char **argv) {
    if (argc < 3) return 2;
    Moment m;
    m.time_ms = std::atoi(argv[2]);
    for (int i = 0; i < MomentServedCount; ++i)
        m.served[i] = fnv1a_64(read_file(std::string(argv[1]) + "/" + moment_served_file(i)));
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--loop") && i + 2 < argc)
            m.loop_from_ms = std::atoi(argv[i + 1]), m.loop_to_ms = std::atoi(argv[i + 2]), i += 2;
        else if (!std::strcmp(argv[i], "--paused"))
            m.paused = true;
        else if (!std::strcmp(argv[i], "--tuning") && i + 1 < argc)
            m.tuning = argv[++i];
        else if (!std::strcmp(argv[i], "--edit") && i + 2 < argc) {
            int slot = 0;
            while (slot < MomentEditableCount && std::strcmp(moment_served_file(slot), argv[i + 1]))
                ++slot;
            m.edits.push_back({slot, read_file(argv[i + 2])});
            i += 2;
        } else
            return 2;
    }
    const std::string body = write_moment_body(m);
    uLongf size = compressBound(body.size());
    std::vector<unsigned char> z(size);
    if (compress(z.data(), &size, reinterpret_cast<const Bytef *>(body.data()), body.size()) !=
        Z_OK)
        return 1;
    std::printf("http://127.0.0.1:8000/%s\n",
                wrap_moment_fragment(z.data(), size, MomentPlay::studio).c_str());
    return 0;
}
