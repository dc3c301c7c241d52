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

const char *nonempty(const char *v, std::string &path) {
    path = v;
    return path.empty() ? "empty path" : nullptr;
}

const char *out_path(const char *v, CaptureOptions &o) {
    o.out = v;
    if (o.out.empty()) return "empty path";
    o.out_kind = kind_of(o.out);
    return nullptr;
}

// Which mode takes which option. An option given to a mode that does not take it is named, the
// first in this order. The bench times scenes at the demo's own 1024 x 512, hence no --size.
enum OptionGroup {
    Times,
    Music,
    Crf,
    Preset,
    PngLevel,
    RenderOnly,
    BenchFrames,
    Cell,
    Size,
    At,
    Range,
    Out,
    Fps,
    Tuning,
    Data,
    Part,
    DryRun,
    Link,
    AnyData,
    Edits,
    Paused,
    Groups
};

constexpr unsigned mode_bit(CaptureMode mode) {
    return 1u << static_cast<unsigned>(mode);
}
constexpr unsigned R = mode_bit(CaptureMode::Render), P = mode_bit(CaptureMode::Parameters),
                   B = mode_bit(CaptureMode::Bench), S = mode_bit(CaptureMode::Shader),
                   C = mode_bit(CaptureMode::ContactSheet), K = mode_bit(CaptureMode::BenchCapture),
                   J = mode_bit(CaptureMode::Join), M = mode_bit(CaptureMode::MakeLink);

struct Applicability {
    const char *name;
    unsigned modes; // the modes that take it
};
constexpr Applicability Applies[Groups] = {
    {"--times", R | P},
    {"--music", R | J},
    {"--crf", R | K},
    {"--preset", R | K},
    {"--png-level", R | K},
    {"--render-only", R},
    {"--bench-frames", B},
    {"--cell", C},
    {"--size", R | S | C | K},
    {"--at", R | S | M},
    {"--from/--to", R | P | K | J | M},
    {"--out", R | P | S | J},
    {"--fps", R | P | C | K | J},
    {"--tuning", R | P | B | C | K | M},
    {"--data", R | B | S | C | K | J | M},
    {"--part", R},
    {"--dry-run", R | J},
    {"--link", R | P | B | C | K},
    {"--any-data", R | P | B | C | K},
    {"--edits", M},
    {"--paused", M},
};

// Stores an option's value; returns what is wrong with it, or nullptr.
using Store = const char *(*)(const char *value, CaptureOptions &o);

// Parts of a capture: at least one, and few enough to be told apart by number.
constexpr int MaxParts = 100000;
bool parse_parts(const char *text, int &parts) {
    return parse_int(text, parts) && parts >= 1 && parts <= MaxParts;
}

bool parse_seconds(const char *text, double &seconds) {
    return parse_number(text, seconds) && seconds >= 0.0 && seconds <= 1.0e6;
}
constexpr const char *NotSeconds = "expected seconds, 0 or more";

struct ValueOption {
    const char *flag;
    OptionGroup group;
    Store store;
};
const ValueOption ValueOptions[] = {
    {"--out", Out, out_path},
    {"-o", Out, out_path},
    {"--size", Size,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_size(v, o.width, o.height)) return "expected WIDTHxHEIGHT";
         if (o.width < MinWidth || o.height < MinHeight) return "the smallest frame is 1024x512";
         if (o.width > MaxSide || o.height > MaxSide) return "the largest side is 8192";
         return nullptr;
     }},
    {"--fps", Fps,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_number(v, o.fps) || o.fps <= 0.0 || o.fps > 1000.0)
             return "expected a rate above 0 and at most 1000";
         return nullptr;
     }},
    {"--from", Range,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_seconds(v, o.range.from_s)) return NotSeconds;
         o.range.has_from = true;
         return nullptr;
     }},
    {"--to", Range,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_seconds(v, o.range.to_s)) return NotSeconds;
         o.range.has_to = true;
         return nullptr;
     }},
    {"--at", At,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_seconds(v, o.at_s)) return NotSeconds;
         o.has_at = true;
         return nullptr;
     }},
    {"--times", Times, [](const char *v, CaptureOptions &o) { return nonempty(v, o.times_path); }},
    {"--tuning", Tuning,
     [](const char *v, CaptureOptions &o) -> const char * {
         o.has_tuning = true;
         o.tuning_line = v;
         return nullptr;
     }},
    {"--music", Music, [](const char *v, CaptureOptions &o) { return nonempty(v, o.music_path); }},
    {"--data", Data, [](const char *v, CaptureOptions &o) { return nonempty(v, o.data_dir); }},
    {"--crf", Crf,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_int(v, o.crf) || o.crf < 0 || o.crf > 51) return "expected 0 to 51";
         return nullptr;
     }},
    {"--preset", Preset,
     [](const char *v, CaptureOptions &o) -> const char * {
         static const char *const names[] = {"ultrafast", "superfast", "veryfast", "faster",
                                             "fast",      "medium",    "slow",     "slower",
                                             "veryslow",  "placebo"};
         o.preset = v;
         for (const char *name : names)
             if (o.preset == name) return nullptr;
         return "expected an x264 preset, ultrafast to placebo";
     }},
    {"--png-level", PngLevel,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_int(v, o.png_level) || o.png_level < 0 || o.png_level > 9)
             return "expected 0 (fastest) to 9 (smallest)";
         return nullptr;
     }},
    {"--render-only", RenderOnly, nullptr},
    {"--part", Part,
     [](const char *v, CaptureOptions &o) -> const char * {
         const char *slash = std::strchr(v, '/');
         const std::string k = slash ? std::string(v, slash) : std::string();
         if (!slash || !parse_int(k.c_str(), o.part) || !parse_parts(slash + 1, o.parts) ||
             o.part < 1 || o.part > o.parts)
             return "expected K/N, part K of N parts, 1 <= K <= N";
         return nullptr;
     }},
    {"--dry-run", DryRun, nullptr},
    {"--link", Link, [](const char *v, CaptureOptions &o) { return nonempty(v, o.link); }},
    {"--link-file", Link,
     [](const char *v, CaptureOptions &o) { return nonempty(v, o.link_file); }},
    {"--any-data", AnyData, nullptr},
    {"--edits", Edits, [](const char *v, CaptureOptions &o) { return nonempty(v, o.edits_dir); }},
    {"--paused", Paused, nullptr},
    {"--bench-frames", BenchFrames,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_int(v, o.bench_frames) || o.bench_frames < 1 || o.bench_frames > 1000)
             return "expected 1 to 1000";
         return nullptr;
     }},
    {"--cell", Cell,
     [](const char *v, CaptureOptions &o) -> const char * {
         if (!parse_int(v, o.cell_width) || o.cell_width < 16 || o.cell_width > 4096)
             return "expected a cell width of 16 to 4096 pixels";
         return nullptr;
     }},
};

// The options that choose a mode; those with a store take a value.
struct ModeOption {
    const char *flag;
    CaptureMode mode;
    Store store;
};
const ModeOption ModeOptions[] = {
    {"--parameters", CaptureMode::Parameters, nullptr},
    {"--noise", CaptureMode::Noise,
     [](const char *v, CaptureOptions &o) -> const char * {
         o.noise_path = v;
         return nullptr;
     }},
    {"--bench", CaptureMode::Bench, nullptr},
    {"--bench-capture", CaptureMode::BenchCapture, nullptr},
    {"--shader", CaptureMode::Shader,
     [](const char *v, CaptureOptions &o) -> const char * {
         o.shader_path = v;
         return nullptr;
     }},
    {"--join", CaptureMode::Join,
     [](const char *v, CaptureOptions &o) -> const char * {
         return parse_parts(v, o.parts) ? nullptr : "expected the number of parts, 1 or more";
     }},
    {"--make-link", CaptureMode::MakeLink,
     [](const char *v, CaptureOptions &o) { return nonempty(v, o.page); }},
    {"--contact-sheet", CaptureMode::ContactSheet,
     [](const char *v, CaptureOptions &o) -> const char * {
         o.contact_sheet_path = v;
         return ends_with(o.contact_sheet_path, ".png") ? nullptr
                                                        : "the contact sheet is a .png file";
     }},
};

template <typename T, std::size_t N>
const T *find_option(const T (&table)[N], const std::string &arg) {
    for (const T &entry : table)
        if (arg == entry.flag) return &entry;
    return nullptr;
}

// What the line gave: each group's options, and the option that chose the mode (none for a
// capture).
struct Given {
    bool group[Groups] = {};
    const char *mode_flag = nullptr;
};

// Stores every argument's value; false at the first that is unknown, lacks its value or is
// malformed. Help stops the reading there.
bool read_arguments(int argc, const char *const *argv, CaptureOptions &o, Given &given,
                    std::string &error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            o.mode = CaptureMode::Help;
            return true;
        }
        const ModeOption *mode = find_option(ModeOptions, arg);
        const ValueOption *option = mode ? nullptr : find_option(ValueOptions, arg);
        if (!mode && !option) {
            error = "unknown argument " + arg + " (see --help)";
            return false;
        }
        const Store store = mode ? mode->store : option->store;
        const char *value = nullptr;
        if (store) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (mode) {
            if (given.mode_flag && o.mode != mode->mode) {
                error = arg + " cannot be combined with " + given.mode_flag;
                return false;
            }
            o.mode = mode->mode;
            given.mode_flag = mode->flag;
        }
        if (const char *wrong = store ? store(value, o) : nullptr) {
            error = arg + " " + value + ": " + wrong;
            return false;
        }
        if (option) given.group[option->group] = true;
    }
    return true;
}

// The rules every mode shares: a span that runs forwards, one source of frame times, and only
// options the mode takes.
bool check_common(const CaptureOptions &o, const Given &given, std::string &error) {
    if (o.range.has_from && o.range.has_to && o.range.from_s > o.range.to_s) {
        error = "--from is after --to";
        return false;
    }
    if (!o.link.empty() && !o.link_file.empty()) {
        error = "--link and --link-file exclude each other";
        return false;
    }
    if (given.group[Link] && given.group[Tuning]) {
        error = "a link brings its own tuning: not with --tuning";
        return false;
    }
    if (given.group[AnyData] && !given.group[Link]) {
        error = "--any-data goes with --link or --link-file";
        return false;
    }
    if (given.group[Times] && given.group[Fps]) {
        error = "--times replaces --fps: give one of them";
        return false;
    }
    for (int group = 0; group < Groups; ++group) {
        if (given.group[group] && !(Applies[group].modes & mode_bit(o.mode))) {
            error = std::string(Applies[group].name) + " does not apply to " +
                    (given.mode_flag ? given.mode_flag : "a capture to --out");
            return false;
        }
    }
    return true;
}

// A capture's output decides which file settings and spans go with it.
bool check_render(CaptureOptions &o, const bool (&given)[Groups], std::string &error) {
    o.render_only = given[RenderOnly];
    o.dry_run = given[DryRun];
    if (o.render_only) {
        if (given[Out]) {
            error = "--render-only writes nothing: --out does not go with it";
            return false;
        }
        if (given[PngLevel] || given[Preset] || given[Crf] || given[Music]) {
            error = "--render-only writes nothing: no file settings go with it";
            return false;
        }
        return true;
    }
    if (o.out.empty()) {
        error = "nothing to do: give --out FOLDER, FILE.png or FILE.mp4 (see --help)";
        return false;
    }
    if (o.out_kind == OutputKind::Csv) {
        error = "--out " + o.out + ": a .csv is written by --parameters";
        return false;
    }
    if (o.out_kind == OutputKind::Png) {
        o.link_gives_at = given[Link] && !o.has_at && !given[Range];
        if (!o.has_at && !o.link_gives_at) {
            error = "--out " + o.out + ": a single .png needs --at SECONDS";
            return false;
        }
        if (given[Range] || given[Times]) {
            error = "--at names one frame: --from, --to and --times do not apply";
            return false;
        }
    } else if (o.has_at) {
        error = "--at needs --out FILE.png";
        return false;
    }
    if (o.out_kind == OutputKind::Mp4 && given[Times]) {
        error = "--times cannot make an .mp4: a video needs a fixed rate";
        return false;
    }
    for (OptionGroup video : {Crf, Music, Preset}) {
        if (given[video] && o.out_kind != OutputKind::Mp4) {
            error = std::string(Applies[video].name) + " applies to an .mp4 only";
            return false;
        }
    }
    if (given[PngLevel] && o.out_kind == OutputKind::Mp4) {
        error = "--png-level applies to PNG files only";
        return false;
    }
    // A part is a run of the fixed-rate grid that joins with the others: one frame or recorded
    // times would not.
    if (given[Part] && (o.out_kind == OutputKind::Png || given[Times])) {
        error = "--part splits the frames of a fixed rate: not with --at or --times";
        return false;
    }
    if (given[Part] && given[Music]) {
        error = "--part makes a segment without sound: --music goes with --join";
        return false;
    }
    return true;
}

} // namespace

bool parse_options(int argc, const char *const *argv, CaptureOptions &o, std::string &error) {
    o = CaptureOptions{};
    Given given;
    if (!read_arguments(argc, argv, o, given, error)) return false;
    if (o.mode == CaptureMode::Help) return true;
    // Which options mean something depends on the mode; anything else is a mistake worth naming.
    if (!check_common(o, given, error)) return false;
    o.any_data = given.group[AnyData];

    switch (o.mode) {
    case CaptureMode::Render:
        return check_render(o, given.group, error);
    case CaptureMode::Parameters:
        if (given.group[Out] && o.out_kind != OutputKind::Csv) {
            error = "--out " + o.out + ": --parameters writes a .csv file or - for stdout";
            return false;
        }
        return true;
    case CaptureMode::Shader:
        if (o.out_kind != OutputKind::Png) {
            error = "--shader needs --out FILE.png";
            return false;
        }
        return true;
    case CaptureMode::ContactSheet:
        if (!given.group[Size]) o.width = MinWidth, o.height = MinHeight;
        return true;
    case CaptureMode::Join:
        o.dry_run = given.group[DryRun];
        if (o.out_kind != OutputKind::Mp4) {
            error = "--join needs --out FILE.mp4, the video its parts were made for";
            return false;
        }
        return true;
    case CaptureMode::MakeLink:
        // A moment: its time and its loop inside the studio's run.
        o.paused = given.group[Paused];
        if (given.group[Range] &&
            !(o.range.has_from && o.range.has_to && o.range.from_s < o.range.to_s)) {
            error = "a link's loop is --from A --to B, A before B";
            return false;
        }
        if (o.at_s > 152.0 || (o.range.has_to && o.range.to_s > 152.0)) {
            error = "a link's moment lies from 0 to 152 s";
            return false;
        }
        return true;
    case CaptureMode::Help:
    case CaptureMode::Noise:
    case CaptureMode::Bench:
    case CaptureMode::BenchCapture:
        return true;
    }
    return true;
}
