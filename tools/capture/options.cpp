#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool ends_with(const std::string &text, const char *suffix) {
    const std::size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = text[text.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

bool parse_number(const char *text, double &value) {
    errno = 0;
    char *stop = nullptr;
    value = std::strtod(text, &stop);
    return *text != '\0' && *stop == '\0' && errno != ERANGE && std::isfinite(value);
}

bool parse_int(const char *text, int &value) {
    errno = 0;
    char *stop = nullptr;
    long parsed = std::strtol(text, &stop, 10);
    if (*text == '\0' || *stop != '\0' || errno == ERANGE || parsed < -1000000 || parsed > 1000000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parse_size(const char *text, int &width, int &height) {
    const char *x = std::strchr(text, 'x');
    if (!x) return false;
    std::string w(text, x);
    return parse_int(w.c_str(), width) && parse_int(x + 1, height);
}

OutputKind kind_of(const std::string &path) {
    if (path == "-" || ends_with(path, ".csv")) return OutputKind::Csv;
    if (ends_with(path, ".png")) return OutputKind::Png;
    if (ends_with(path, ".mp4")) return OutputKind::Mp4;
    return OutputKind::Folder;
}

} // namespace

bool parse_options(int argc, const char *const *argv, CaptureOptions &o, std::string &error) {
    o = CaptureOptions{};
    bool mode_given = false, size_given = false, fps_given = false, crf_given = false;
    bool music_given = false, frames_given = false, cell_given = false;
    const char *mode_flag = nullptr;
    auto set_mode = [&](CaptureMode mode, const char *flag) {
        if (mode_given && o.mode != mode) {
            error = std::string(flag) + " cannot be combined with " + mode_flag;
            return false;
        }
        o.mode = mode;
        mode_given = true;
        mode_flag = flag;
        return true;
    };

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // Every option but the switches takes the next argument.
        auto value = [&]() -> const char * {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        auto bad = [&](const char *text, const char *what) {
            error = arg + " " + text + ": " + what;
            return false;
        };
        const char *v = nullptr;
        if (arg == "-h" || arg == "--help") {
            o.mode = CaptureMode::Help;
            return true;
        } else if (arg == "--parameters") {
            if (!set_mode(CaptureMode::Parameters, "--parameters")) return false;
        } else if (arg == "--noise") {
            if (!(v = value()) || !set_mode(CaptureMode::Noise, "--noise")) return false;
            o.noise_path = v;
        } else if (arg == "--bench") {
            if (!set_mode(CaptureMode::Bench, "--bench")) return false;
        } else if (arg == "--shader") {
            if (!(v = value()) || !set_mode(CaptureMode::Shader, "--shader")) return false;
            o.shader_path = v;
        } else if (arg == "--contact-sheet") {
            if (!(v = value()) || !set_mode(CaptureMode::ContactSheet, "--contact-sheet"))
                return false;
            o.contact_sheet_path = v;
            if (!ends_with(o.contact_sheet_path, ".png"))
                return bad(v, "the contact sheet is a .png file");
        } else if (arg == "--out" || arg == "-o") {
            if (!(v = value())) return false;
            o.out = v;
            if (o.out.empty()) return bad(v, "empty path");
            o.out_kind = kind_of(o.out);
        } else if (arg == "--size") {
            if (!(v = value())) return false;
            if (!parse_size(v, o.width, o.height)) return bad(v, "expected WIDTHxHEIGHT");
            if (o.width < MinWidth || o.height < MinHeight)
                return bad(v, "the smallest frame is 1024x512");
            if (o.width > MaxSide || o.height > MaxSide) return bad(v, "the largest side is 8192");
            size_given = true;
        } else if (arg == "--fps") {
            if (!(v = value())) return false;
            if (!parse_number(v, o.fps) || o.fps <= 0.0 || o.fps > 1000.0)
                return bad(v, "expected a rate above 0 and at most 1000");
            fps_given = true;
        } else if (arg == "--from" || arg == "--to" || arg == "--at") {
            if (!(v = value())) return false;
            double seconds = 0.0;
            if (!parse_number(v, seconds) || seconds < 0.0 || seconds > 1.0e6)
                return bad(v, "expected seconds, 0 or more");
            if (arg == "--from") o.range.has_from = true, o.range.from_s = seconds;
            if (arg == "--to") o.range.has_to = true, o.range.to_s = seconds;
            if (arg == "--at") o.has_at = true, o.at_s = seconds;
        } else if (arg == "--times") {
            if (!(v = value())) return false;
            o.times_path = v;
            if (o.times_path.empty()) return bad(v, "empty path");
        } else if (arg == "--tuning") {
            if (!(v = value())) return false;
            o.has_tuning = true;
            o.tuning_line = v;
        } else if (arg == "--music") {
            if (!(v = value())) return false;
            o.music_path = v;
            music_given = true;
        } else if (arg == "--crf") {
            if (!(v = value())) return false;
            if (!parse_int(v, o.crf) || o.crf < 0 || o.crf > 51) return bad(v, "expected 0 to 51");
            crf_given = true;
        } else if (arg == "--bench-frames") {
            if (!(v = value())) return false;
            if (!parse_int(v, o.bench_frames) || o.bench_frames < 1 || o.bench_frames > 1000)
                return bad(v, "expected 1 to 1000");
            frames_given = true;
        } else if (arg == "--cell") {
            if (!(v = value())) return false;
            if (!parse_int(v, o.cell_width) || o.cell_width < 16 || o.cell_width > 4096)
                return bad(v, "expected a cell width of 16 to 4096 pixels");
            cell_given = true;
        } else {
            error = "unknown argument " + arg + " (see --help)";
            return false;
        }
    }

    // Which options mean something depends on the mode; anything else is a mistake worth naming.
    auto refuse = [&](bool given, const char *flag) {
        if (given)
            error = std::string(flag) + " does not apply to " +
                    (mode_flag ? mode_flag : "a capture to --out");
        return !given;
    };
    const bool range_given = o.range.has_from || o.range.has_to;
    if (o.range.has_from && o.range.has_to && o.range.from_s > o.range.to_s) {
        error = "--from is after --to";
        return false;
    }
    if (!o.times_path.empty() && fps_given) {
        error = "--times replaces --fps: give one of them";
        return false;
    }
    if (o.mode != CaptureMode::Render && o.mode != CaptureMode::Parameters &&
        !refuse(!o.times_path.empty(), "--times"))
        return false;
    if (o.mode != CaptureMode::Render && !refuse(music_given, "--music")) return false;
    if (o.mode != CaptureMode::Render && !refuse(crf_given, "--crf")) return false;
    if (o.mode != CaptureMode::Bench && !refuse(frames_given, "--bench-frames")) return false;
    if (o.mode != CaptureMode::ContactSheet && !refuse(cell_given, "--cell")) return false;

    switch (o.mode) {
    case CaptureMode::Help:
        break;
    case CaptureMode::Render:
        if (o.out.empty()) {
            error = "nothing to do: give --out FOLDER, FILE.png or FILE.mp4 (see --help)";
            return false;
        }
        if (o.out_kind == OutputKind::Csv) {
            error = "--out " + o.out + ": a .csv is written by --parameters";
            return false;
        }
        if (o.out_kind == OutputKind::Png) {
            if (!o.has_at) {
                error = "--out " + o.out + ": a single .png needs --at SECONDS";
                return false;
            }
            if (range_given || !o.times_path.empty()) {
                error = "--at names one frame: --from, --to and --times do not apply";
                return false;
            }
        } else if (o.has_at) {
            error = "--at needs --out FILE.png";
            return false;
        }
        if (o.out_kind == OutputKind::Mp4 && !o.times_path.empty()) {
            error = "--times cannot make an .mp4: a video needs a fixed rate";
            return false;
        }
        if ((crf_given || music_given) && o.out_kind != OutputKind::Mp4) {
            error = std::string(crf_given ? "--crf" : "--music") + " applies to an .mp4 only";
            return false;
        }
        break;
    case CaptureMode::Parameters:
        if (!refuse(size_given, "--size") || !refuse(o.has_at, "--at")) return false;
        if (!o.out.empty() && o.out_kind != OutputKind::Csv) {
            error = "--out " + o.out + ": --parameters writes a .csv file or - for stdout";
            return false;
        }
        break;
    case CaptureMode::Noise:
        if (!refuse(size_given, "--size") || !refuse(o.has_at, "--at") ||
            !refuse(range_given, "--from/--to") || !refuse(!o.out.empty(), "--out") ||
            !refuse(fps_given, "--fps") || !refuse(o.has_tuning, "--tuning"))
            return false;
        break;
    case CaptureMode::Bench:
        // Scenes are timed at the demo's own 1024 x 512.
        if (!refuse(size_given, "--size") || !refuse(o.has_at, "--at") ||
            !refuse(range_given, "--from/--to") || !refuse(!o.out.empty(), "--out") ||
            !refuse(fps_given, "--fps"))
            return false;
        break;
    case CaptureMode::Shader:
        if (!refuse(range_given, "--from/--to") || !refuse(fps_given, "--fps") ||
            !refuse(o.has_tuning, "--tuning"))
            return false;
        if (o.out_kind != OutputKind::Png) {
            error = "--shader needs --out FILE.png";
            return false;
        }
        break;
    case CaptureMode::ContactSheet:
        if (!refuse(o.has_at, "--at") || !refuse(range_given, "--from/--to") ||
            !refuse(!o.out.empty(), "--out"))
            return false;
        if (!size_given) o.width = MinWidth, o.height = MinHeight;
        break;
    }
    return true;
}
