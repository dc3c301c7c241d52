// A video made in parts on several machines (demo-capture --part K/N --out FILE.mp4) and put
// together on one: the parts' frames are copied, not encoded again, and the music is muxed once.
#pragma once
#include "video_encoder.h"

#include <cstddef>
#include <string>
#include <vector>

// Where part k of n of the video `video` (a .mp4 path) is written: beside it, numbered.
std::string segment_path(const std::string &video, int k, int n);

struct Segment {
    std::string path;
    std::size_t frames; // as many as its part of the plan holds
};

// Checks each segment's frame count, copies them in order into one stream and muxes the music in
// as `settings` says, into settings.path. The video appears whole or not at all, and only with
// every frame of the parts: it is made under a scratch name of this run's own, counted, and
// renamed at the end. False with the reason, naming the first segment that is missing, short,
// long or unreadable.
bool join_segments(const std::vector<Segment> &segments, const VideoSettings &settings,
                   std::string &error);
