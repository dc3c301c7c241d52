// The native hosts' inflation of a link's body: zlib's, bounded by the form's limit.
#include "studio/moment_inflate.h"

#include "studio/moment_link.h"

#include <zlib.h>

bool inflate_moment_body(const std::vector<unsigned char> &compressed, std::string &body,
                         std::string &error) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        error = "cannot inflate the link: zlib does not start";
        return false;
    }
    // One byte past the limit tells a body that is too long from one that fits exactly.
    std::string out(MomentBodyMaxBytes + 1, '\0');
    stream.next_in = const_cast<unsigned char *>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<unsigned char *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const std::size_t produced = out.size() - stream.avail_out;
    const bool rest = stream.avail_in != 0;
    inflateEnd(&stream);
    if (produced > MomentBodyMaxBytes) {
        error = "the link's body inflates to more than the " + std::to_string(MomentBodyMaxBytes) +
                " bytes a link may hold";
        return false;
    }
    if (result != Z_STREAM_END) {
        error = result == Z_BUF_ERROR
                    ? "the link is cut short: its body ends before its stream does"
                    : "the link does not decompress: it is damaged";
        return false;
    }
    if (rest) {
        error = "malformed link: bytes follow its compressed body";
        return false;
    }
    out.resize(produced);
    body = std::move(out);
    return true;
}
