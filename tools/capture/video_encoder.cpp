#include "video_encoder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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
    a.insert(a.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", std::to_string(s.crf),
                       "-pix_fmt", "yuv420p", "-movflags", "+faststart", s.path});
    return a;
}

VideoEncoder::~VideoEncoder() {
    std::string ignored;
    close(ignored);
}

bool VideoEncoder::open(const VideoSettings &settings, std::string &error) {
    int ends[2];
    if (pipe(ends) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    // A dying ffmpeg must turn into a write error, not kill the tool.
    std::signal(SIGPIPE, SIG_IGN);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    posix_spawn_file_actions_addclose(&actions, ends[1]);
    std::vector<std::string> arguments = ffmpeg_arguments(settings);
    std::vector<char *> argv;
    for (std::string &argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int failed = posix_spawnp(&child_, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
    if (failed != 0) {
        ::close(ends[1]);
        child_ = -1;
        error = std::string("cannot start ffmpeg: ") + std::strerror(failed);
        return false;
    }
    pipe_ = ends[1];
    return true;
}

bool VideoEncoder::write(const Image &frame, std::string &error) {
    const unsigned char *bytes = frame.rgb.data();
    std::size_t left = frame.rgb.size();
    while (left > 0) {
        ssize_t n = ::write(pipe_, bytes, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = "ffmpeg stopped taking frames (see its message above)";
            return false;
        }
        bytes += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool VideoEncoder::close(std::string &error) {
    if (pipe_ >= 0) ::close(pipe_);
    pipe_ = -1;
    if (child_ < 0) return true;
    int status = 0;
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = WIFEXITED(status)
                ? "ffmpeg failed with exit code " + std::to_string(WEXITSTATUS(status))
                : "ffmpeg was killed";
    return false;
}
