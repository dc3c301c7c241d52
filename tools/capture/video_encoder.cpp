#include "video_encoder.h"

#include <cstdio>

static std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

std::vector<std::string> ffmpeg_arguments(const VideoSettings &s) {
    std::vector<std::string> a = {
        "ffmpeg",     "-nostdin",    "-hide_banner",
        "-loglevel",  "error",       "-y",
        "-f",         "rawvideo",    "-pix_fmt",
        "rgb24",      "-video_size", std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", number(s.fps), "-i",
        "pipe:0"};
    if (!s.music_path.empty()) {
        // Seeking the input keeps music time 0 at loop time 0 when the capture starts later.
        a.insert(a.end(),
                 {"-ss", number(s.music_offset_s), "-t", number(s.duration_s), "-i", s.music_path,
                  "-map", "0:v:0", "-map", "1:a:0", "-c:a", "aac", "-b:a", "192k"});
    }
    a.insert(a.end(),
             {"-vf", "vflip", "-c:v", "libx264", "-preset", s.preset, "-crf", std::to_string(s.crf),
              "-pix_fmt", "yuv420p", "-movflags", "+faststart", "-shortest", s.path});
    return a;
}

bool VideoEncoder::open(const VideoSettings &settings, std::string &error) {
    return ffmpeg_.start(ffmpeg_arguments(settings), error);
}

bool VideoEncoder::write(const unsigned char *rgb, std::size_t size, std::string &error) {
    if (ffmpeg_.write(rgb, size)) return true;
    error = "ffmpeg stopped taking frames (see its message above)";
    return false;
}

bool VideoEncoder::close(std::string &error) {
    return ffmpeg_.finish(error);
}
