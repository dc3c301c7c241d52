// The command line of demo-capture.
#pragma once
#include "frame_plan.h"

#include <string>

enum class CaptureMode {
    Help,
    Render,
    Parameters,
    Noise,
    Bench,
    Shader,
    ContactSheet,
    BenchCapture,
    Join,
    MakeLink
};
enum class OutputKind { None, Folder, Png, Mp4, Csv };

struct CaptureOptions {
    CaptureMode mode = CaptureMode::Render;
    int width = 1920;
    int height = 1080;
    double fps = 60.0;
    FrameRange range;
    bool has_at = false;
    double at_s = 0.0;
    std::string out;
    OutputKind out_kind = OutputKind::None;
    std::string times_path; // empty: fixed rate
    bool has_tuning = false;
    std::string tuning_line;
    std::string shader_path;
    std::string noise_path;
    std::string contact_sheet_path;
    int cell_width = 384;
    std::string data_dir = "data";
    std::string music_path; // empty: the data folder's tune
    int crf = 18;
    std::string preset = "veryfast"; // x264's; keeps up with the renderer on two cores
    int png_level = 1;               // fast: PNG files are for editing, not for keeping small
    bool render_only = false;        // frames drawn and read back, nothing written
    int bench_frames = 5;
    // A capture split into `parts` contiguous runs of frames, of which this run makes the
    // `part`-th (from 1); 0: the whole. --join takes the number of parts alone.
    int part = 0;
    int parts = 0;
    bool dry_run = false; // check the line and the plan, print the frames, make nothing
    // --make-link: the page's address, the folder whose shaders differ from the data folder's as
    // the link's edits (empty: none), and whether the moment is paused.
    std::string page;
    std::string edits_dir;
    bool paused = false;
    // --link or --link-file (the other empty): a moment's tuning, edits and, where the link gives
    // --at (a .png without --at, --from, --to), its time.
    std::string link;
    std::string link_file;
    bool any_data = false;
    bool link_gives_at = false;
};

// Every scene is drawn into the lower-left 1024 x 512 of the frame, so no frame is smaller.
constexpr int MinWidth = 1024;
constexpr int MinHeight = 512;
constexpr int MaxSide = 8192;

// False with a message naming the offending argument when the line is not a valid use.
bool parse_options(int argc, const char *const *argv, CaptureOptions &options, std::string &error);

const char *capture_usage();
