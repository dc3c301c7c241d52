// demo-capture --make-link: a moment of the data folder as the page's link, for a maker working
// natively to send: its time, loop and pause, the tuning line, and as its edits every shader of
// another folder (say a copy of data/, or links/ID/) that differs from the data folder's.
#include "capture_modes.h"
#include "gfx/data_dir.h"
#include "studio/moment_link.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <zlib.h>

namespace {

bool read_bytes(const std::string &path, std::string &bytes) {
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), {});
    return static_cast<bool>(file) || file.eof();
}

int refuse(const std::string &why) {
    std::fprintf(stderr, "demo-capture: --make-link: %s\n", why.c_str());
    return ExitUsage;
}

} // namespace

int run_make_link(const CaptureOptions &o) {
    Moment m;
    m.time_ms = static_cast<int32_t>(std::lround(o.at_s * 1000.0));
    if (o.range.has_from)
        m.loop_from_ms = static_cast<int32_t>(std::lround(o.range.from_s * 1000.0)),
        m.loop_to_ms = static_cast<int32_t>(std::lround(o.range.to_s * 1000.0));
    m.paused = o.paused;
    m.tuning = o.tuning_line;
    for (int i = 0; i < MomentServedCount; ++i) {
        std::string served, edited;
        read_bytes(data_path(moment_served_file(i)).text, served); // missing: no bytes
        m.served[i] = fnv1a_64(served);
        const std::string path = o.edits_dir + "/" + moment_served_file(i);
        if (i >= MomentEditableCount || o.edits_dir.empty() || !read_bytes(path, edited) ||
            edited == served)
            continue;
        if (edited.size() > MomentFileMaxBytes || edited.find('\0') != std::string::npos)
            return refuse(path + " is no shader the demo reads whole");
        m.edits.push_back({i, edited});
    }
    const std::string body = write_moment_body(m);
    uLongf size = compressBound(body.size());
    std::vector<unsigned char> z(size);
    if (compress2(z.data(), &size, reinterpret_cast<const Bytef *>(body.data()), body.size(),
                  Z_BEST_COMPRESSION) != Z_OK)
        return refuse("zlib could not compress the moment");
    const std::string link = o.page + wrap_moment_fragment(z.data(), size, MomentPlay::studio);
    if (link.size() > MomentLinkMaxChars)
        return refuse("the link would be " + std::to_string(link.size()) +
                      " characters, more than " + std::to_string(MomentLinkMaxChars));
    std::printf("%s\n", link.c_str());
    return ExitOk;
}
