#include <cstddef>
#include "wav_file.h"

#include <sndfile.h>
#include <stdexcept>

namespace tune {

void write_wav(const std::string &path, const std::vector<std::int16_t> &pcm, int channels,
               int sample_rate) {
    SF_INFO info{};
    info.samplerate = sample_rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw std::runtime_error("cannot write '" + path + "': " + sf_strerror(nullptr));
    auto frames = static_cast<sf_count_t>(pcm.size() / static_cast<std::size_t>(channels));
    sf_count_t written = sf_writef_short(file, pcm.data(), frames);
    std::string err = sf_strerror(file);
    int rc = sf_close(file);
    if (written != frames || rc != 0)
        throw std::runtime_error("cannot write '" + path + "': " + err);
}

} // namespace tune
