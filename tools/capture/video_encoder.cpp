#include "video_encoder.h"

#include <cstdio>
#include <filesystem>

static std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

static const std::vector<std::string> Quiet = {"ffmpeg",    "-nostdin", "-hide_banner",
                                               "-loglevel", "error",    "-y"};

std::string silent_video_path(const VideoSettings &s) {
    return s.music_path.empty() ? s.path : s.path + ".video.mp4";
}

std::vector<std::string> ffmpeg_arguments(const VideoSettings &s) {
    std::vector<std::string> a = Quiet;
    // A short lookahead and one B-frame keep x264 to a few frames in memory (about 150 MB at
    // 1080p with one thread, against 300 MB with its defaults) at no cost in size here.
    a.insert(a.end(), {"-f",
                       "rawvideo",
                       "-pix_fmt",
                       "rgb24",
                       "-video_size",
                       std::to_string(s.width) + "x" + std::to_string(s.height),
                       "-framerate",
                       number(s.fps),
                       "-i",
                       "pipe:0",
                       "-vf",
                       "vflip",
                       "-c:v",
                       "libx264",
                       "-preset",
                       s.preset,
                       "-crf",
                       std::to_string(s.crf),
                       "-threads",
                       std::to_string(s.threads),
                       "-x264-params",
                       "rc-lookahead=2:bframes=1",
                       "-pix_fmt",
                       "yuv420p",
                       "-movflags",
                       "+faststart",
                       silent_video_path(s)});
    return a;
}

std::vector<std::string> mux_arguments(const VideoSettings &s) {
    std::vector<std::string> a = Quiet;
    // Seeking the input keeps music time 0 at loop time 0 when the capture starts later.
    a.insert(a.end(), {"-i",        silent_video_path(s),
                       "-ss",       number(s.music_offset_s),
                       "-t",        number(s.duration_s),
                       "-i",        s.music_path,
                       "-map",      "0:v:0",
                       "-map",      "1:a:0",
                       "-c:v",      "copy",
                       "-c:a",      "aac",
                       "-b:a",      "192k",
                       "-movflags", "+faststart",
                       "-shortest", s.path});
    return a;
}

std::vector<std::string> concat_arguments(const std::string &list, const std::string &video) {
    std::vector<std::string> a = Quiet;
    // -safe 0: the list names its files by absolute path.
    a.insert(a.end(), {"-f", "concat", "-safe", "0", "-i", list, "-c", "copy", video});
    return a;
}

bool VideoEncoder::open(const VideoSettings &settings, std::string &error) {
    settings_ = settings;
    return ffmpeg_.start(ffmpeg_arguments(settings), error);
}

bool VideoEncoder::write(const unsigned char *rgb, std::size_t size, std::string &error) {
    if (ffmpeg_.write(rgb, size)) return true;
    error = "ffmpeg stopped taking frames (see its message above)";
    return false;
}

bool VideoEncoder::close(std::string &error) {
    const bool encoded = ffmpeg_.finish(error);
    if (settings_.music_path.empty()) return encoded;
    PipedChild mux;
    const bool muxed = encoded && mux.start(mux_arguments(settings_), error) && mux.finish(error);
    std::error_code ignored;
    std::filesystem::remove(silent_video_path(settings_), ignored);
    settings_.music_path.clear();
    return muxed;
}
