#include <cstddef>
#include "mp3_encoder.h"

#include <algorithm>
#include <lame/lame.h>
#include <memory>
#include <stdexcept>

namespace tune {

namespace {
struct LameCloser {
    void operator()(lame_global_flags *l) const { lame_close(l); }
};
using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

void append_tag(std::vector<std::uint8_t> &out, lame_global_flags *l,
                std::size_t (*get)(lame_t, unsigned char *, std::size_t)) {
    std::size_t need = get(l, nullptr, 0);
    if (need == 0) return;
    std::vector<std::uint8_t> tag(need);
    if (get(l, tag.data(), tag.size()) > tag.size()) throw std::runtime_error("ID3 tag too large");
    out.insert(out.end(), tag.begin(), tag.end());
}
} // namespace

std::vector<std::uint8_t> encode_mp3(const std::vector<std::int16_t> &pcm, int sample_rate,
                                     const Mp3Options &options) {
    Lame lame(lame_init());
    if (!lame) throw std::runtime_error("LAME: cannot initialise the encoder");
    lame_global_flags *l = lame.get();
    lame_set_in_samplerate(l, sample_rate);
    lame_set_out_samplerate(l, sample_rate);
    lame_set_num_channels(l, 2);
    lame_set_mode(l, JOINT_STEREO);
    lame_set_VBR(l, vbr_off);
    lame_set_brate(l, options.bitrate_kbps);
    lame_set_quality(l, options.quality);
    lame_set_bWriteVbrTag(l, 1);
    // Tags are placed by hand so the info frame's offset is known.
    lame_set_write_id3tag_automatic(l, 0);
    id3tag_init(l);
    id3tag_add_v2(l);
    if (!options.title.empty()) id3tag_set_title(l, options.title.c_str());
    if (lame_init_params(l) < 0) throw std::runtime_error("LAME: unsupported encoder settings");

    std::vector<std::uint8_t> file;
    append_tag(file, l, lame_get_id3v2_tag);
    const std::size_t audio_start = file.size();

    constexpr int kChunk = 8192; // frames per call
    std::vector<short> chunk(2 * kChunk);
    std::vector<unsigned char> buf(static_cast<std::size_t>(1.25 * kChunk + 7200));
    const std::size_t frames = pcm.size() / 2;
    for (std::size_t f = 0; f < frames; f += kChunk) {
        int n = static_cast<int>(frames - f < kChunk ? frames - f : kChunk);
        std::copy(pcm.begin() + static_cast<long>(2 * f),
                  pcm.begin() + static_cast<long>(2 * f + 2 * static_cast<std::size_t>(n)),
                  chunk.begin());
        int bytes = lame_encode_buffer_interleaved(l, chunk.data(), n, buf.data(),
                                                   static_cast<int>(buf.size()));
        if (bytes < 0) throw std::runtime_error("LAME: encoding failed");
        file.insert(file.end(), buf.begin(), buf.begin() + bytes);
    }
    int bytes = lame_encode_flush(l, buf.data(), static_cast<int>(buf.size()));
    if (bytes < 0) throw std::runtime_error("LAME: flushing failed");
    file.insert(file.end(), buf.begin(), buf.begin() + bytes);

    // LAME left an empty frame at the start of the audio for this.
    std::vector<unsigned char> info(4096);
    std::size_t info_size = lame_get_lametag_frame(l, info.data(), info.size());
    if (info_size > info.size() || audio_start + info_size > file.size())
        throw std::runtime_error("LAME: bad info frame");
    std::copy(info.begin(), info.begin() + static_cast<long>(info_size),
              file.begin() + static_cast<long>(audio_start));

    append_tag(file, l, lame_get_id3v1_tag);
    return file;
}

} // namespace tune
