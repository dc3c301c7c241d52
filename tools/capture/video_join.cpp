#include "video_join.h"

#include "scratch_file.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

bool run(const std::vector<std::string> &arguments, std::string &error) {
    PipedChild child;
    return child.start(arguments, error) && child.finish(error);
}

// The segment's video frames as ffprobe counts its packets (a file cut short has fewer); false
// when ffprobe cannot read it.
bool count_frames(const std::string &path, const std::string &report, long long &frames) {
    std::string ignored;
    if (!run({"ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
              "stream=nb_read_packets", "-of", "csv=p=0", "-o", report, path},
             ignored))
        return false;
    std::ifstream in(report);
    return static_cast<bool>(in >> frames);
}

// One line a segment in the concat demuxer's syntax: a quote inside a path is closed, escaped
// and opened again.
bool write_list(const std::vector<Segment> &segments, const std::string &list) {
    std::ofstream out(list, std::ios::binary);
    for (const Segment &segment : segments) {
        out << "file '";
        for (char c : fs::absolute(segment.path).string()) {
            if (c == '\'')
                out << "'\\''";
            else
                out << c;
        }
        out << "'\n";
    }
    out.close();
    return static_cast<bool>(out);
}

// The frames of all the segments, or 0 with the reason when one is not as its part.
long long check_segments(const std::vector<Segment> &segments, const std::string &report,
                         std::string &error) {
    long long total = 0;
    for (const Segment &segment : segments) {
        long long frames = -1;
        if (!fs::is_regular_file(segment.path)) {
            error = "segment " + segment.path + " is missing";
        } else if (!count_frames(segment.path, report, frames)) {
            error = "segment " + segment.path + " is corrupt: ffprobe cannot read it";
        } else if (frames != static_cast<long long>(segment.frames)) {
            error = "segment " + segment.path + " holds " + std::to_string(frames) +
                    " frames where its part has " + std::to_string(segment.frames);
        } else {
            total += frames;
            continue;
        }
        return 0;
    }
    return total;
}

// A segment replaced between its check and the copy, or music shorter than the picture (the mux
// ends with the shorter stream), shows here.
bool check_joined(const std::string &path, long long expected, const std::string &report,
                  std::string &error) {
    long long frames = -1;
    if (count_frames(path, report, frames) && frames == expected) return true;
    error = "the joined video holds " + (frames < 0 ? "no readable" : std::to_string(frames)) +
            " frames where its parts have " + std::to_string(expected) +
            " (is the music shorter than the span?)";
    return false;
}

} // namespace

std::string segment_path(const std::string &video, int k, int n) {
    const std::string stem = video.substr(0, video.size() - 4); // less ".mp4"
    return stem + ".part-" + std::to_string(k) + "-of-" + std::to_string(n) + ".mp4";
}

bool join_segments(const std::vector<Segment> &segments, const VideoSettings &settings,
                   std::string &error) {
    VideoSettings joining = settings;
    joining.path = scratch_path(settings.path);
    const std::string list = joining.path + ".txt", report = joining.path + ".frames";
    const long long frames = check_segments(segments, report, error);
    bool joined = frames > 0;
    if (joined && !write_list(segments, list)) {
        error = "cannot write " + list;
        joined = false;
    }
    joined = joined && run(concat_arguments(list, silent_video_path(joining)), error) &&
             run(mux_arguments(joining), error) &&
             check_joined(joining.path, frames, report, error) &&
             put_in_place(joining.path, settings.path, error);
    std::error_code ignored;
    for (const std::string &scratch : {list, report, silent_video_path(joining), joining.path})
        fs::remove(scratch, ignored);
    return joined;
}
