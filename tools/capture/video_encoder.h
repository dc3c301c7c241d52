// An .mp4 written by ffmpeg from raw frames on a pipe. Frames arrive as GL reads them, bottom row
// first; ffmpeg's vflip turns them over for free. The music is muxed in by a second ffmpeg after
// the last frame: decoding it beside the encoder would hold some 40 MB more at 1080p.
#pragma once
#include "piped_child.h"

#include <string>

struct VideoSettings {
    std::string path;
    int width = 0;
    int height = 0;
    double fps = 60.0;
    int crf = 18;
    std::string preset = "veryfast"; // x264's speed
    int threads = 1;                 // x264's; each one more holds a few frames more
    std::string music_path;          // empty: no sound
    double music_offset_s = 0.0;     // music time of the first frame
    double duration_s = 0.0;         // the sound is cut to the picture's length
};

// The ffmpeg command lines, one argument an element: the encoder's, into the silent video, and
// the one that muxes the music with it into the .mp4.
std::vector<std::string> ffmpeg_arguments(const VideoSettings &settings);
std::vector<std::string> mux_arguments(const VideoSettings &settings);
// The frames of the videos a concat list names, copied in order into one file without encoding.
std::vector<std::string> concat_arguments(const std::string &list, const std::string &video);
// Where the encoder writes: beside the .mp4 while music is to come, else the .mp4 itself.
std::string silent_video_path(const VideoSettings &settings);

class VideoEncoder {
  public:
    VideoEncoder() = default;

    bool open(const VideoSettings &settings, std::string &error);
    bool write(const unsigned char *rgb, std::size_t size, std::string &error);
    // Closes the pipe, waits for ffmpeg and muxes the music in; false when either did not
    // finish cleanly.
    bool close(std::string &error);

  private:
    VideoSettings settings_;
    PipedChild ffmpeg_; // waited for on destruction
};
