// An .mp4 written by ffmpeg from raw frames on a pipe, with the music muxed in. Frames arrive as GL
// reads them, bottom row first; ffmpeg's vflip turns them over for free.
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
    std::string music_path;          // empty: no sound
    double music_offset_s = 0.0;     // music time of the first frame
    double duration_s = 0.0;         // the sound is cut to the picture's length
};

// The ffmpeg command line, one argument an element: exposed for tests.
std::vector<std::string> ffmpeg_arguments(const VideoSettings &settings);

class VideoEncoder {
  public:
    VideoEncoder() = default;

    bool open(const VideoSettings &settings, std::string &error);
    bool write(const unsigned char *rgb, std::size_t size, std::string &error);
    // Closes the pipe and waits for ffmpeg; false when it did not finish cleanly.
    bool close(std::string &error);

  private:
    PipedChild ffmpeg_; // waited for on destruction
};
