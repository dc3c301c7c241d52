#include "app/demo_options.h"

#include "studio/time_control.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

// Also the source of the installed manual page (help2man): "Usage:", "Options:" and the other
// headings ending in ':' become its synopsis and sections.
const char DemoUsage[] =
    "Usage: demo [--tuning \"LINE\" | --tuning-file FILE] [--data DIR]\n"
    "  or:  demo --studio [--from SECONDS] [--loop A:B] [--fullscreen] [--pickup] [OPTION]...\n"
    "  or:  demo --studio --link URL | --link-file FILE [--any-data] [OPTION]...\n"
    "Plays the demo in full screen, or with --studio the tuning studio in a window.\n"
    "\n"
    "Options:\n"
    "  --studio            the tuning studio: a 1024 x 576 window, time control and an overlay\n"
    "  --from SECONDS      start at this loop time, 0 to 152\n"
    "  --loop A:B          play the span from A to B seconds over and over\n"
    "  --fullscreen        the studio over the whole screen\n"
    "  --paused            start paused\n"
    "  --pickup            a preloaded knob takes over once it passes the value it holds\n"
    "  --tuning LINE       start with the tuned line the demo leaves on the clipboard\n"
    "  --tuning-file FILE  start with the line in FILE (if it exists); the studio keeps its\n"
    "                      tuning there (default: tuning.txt)\n"
    "  --data DIR          the folder of shaders, image and music (default: data)\n"
    "  --link URL          open the moment in a link: its time, loop, pause and tuning, its\n"
    "                      edited shaders in a folder of their own, links/ID/ (kept; the\n"
    "                      studio keeps its tuning there); not with --tuning, --tuning-file\n"
    "  --link-file FILE    the same for the link in FILE\n"
    "  --any-data          open a link made against other data files\n"
    "  --help              this text\n"
    "\n"
    "Keys:\n"
    "  Esc                 quit, as closing the window or Ctrl+C do; the tuned values go to the\n"
    "                      clipboard\n"
    "  y, Y, p             rebuild every shader program from the data folder\n"
    "\n"
    "Studio keys:\n"
    "  Space               pause\n"
    "  Left, Right         2 s back or on (with Shift 10 s)\n"
    "  Page Up, Page Down  the previous or next scene\n"
    "  Home, 1-9           the start, that scene\n"
    "  L                   loop the scene\n"
    "  Tab                 the overlay\n"
    "  R, Shift+R          the scene's knobs, every knob back to their defaults\n"
    "  S                   preview scale: full, 1/2, 1/4 of the size, for fluid motion\n"
    "  Esc                 quit\n"
    "\n"
    "Exit codes:\n"
    "  0                   done\n"
    "  1                   no window, or the data unreadable\n"
    "  2                   bad usage, a malformed or unreadable tuning, or a link refused\n";

namespace {

enum OptionId {
    OPT_STUDIO,
    OPT_FROM,
    OPT_LOOP,
    OPT_FULLSCREEN,
    OPT_DATA,
    OPT_HELP,
    OPT_TUNING,
    OPT_TUNING_FILE,
    OPT_PICKUP,
    OPT_LINK,
    OPT_LINK_FILE,
    OPT_ANY_DATA,
    OPT_PAUSED,
    OPT_COUNT
};

struct OptionSpec {
    const char *name;
    int takes_value;
    int studio_only;
};
constexpr OptionSpec Specs[OPT_COUNT] = {
    {"--studio", 0, 0}, {"--from", 1, 1}, {"--loop", 1, 1},      {"--fullscreen", 0, 1},
    {"--data", 1, 0},   {"--help", 0, 0}, {"--tuning", 1, 0},    {"--tuning-file", 1, 0},
    {"--pickup", 0, 1}, {"--link", 1, 1}, {"--link-file", 1, 1}, {"--any-data", 0, 1},
    {"--paused", 0, 1},
};

bool say(std::string &error, std::string text) {
    error = std::move(text);
    return false;
}

std::string quoted(const char *text) {
    return std::string("\"") + text + "\"";
}

// Seconds of loop time inside the studio's run, as whole milliseconds.
bool parse_seconds(const char *text, int *ms) {
    errno = 0;
    char *stop = nullptr;
    const double seconds = std::strtod(text, &stop);
    if (*text == '\0' || *stop != '\0' || errno == ERANGE || !std::isfinite(seconds)) return false;
    if (seconds < 0.0 || seconds * 1000.0 > StudioEndMs) return false;
    *ms = static_cast<int>(std::lround(seconds * 1000.0));
    return true;
}

bool take_value(OptionId id, const char *value, DemoOptions *o, std::string &error) {
    switch (id) {
    case OPT_FROM:
        if (!parse_seconds(value, &o->from_ms))
            return say(error, "--from: " + quoted(value) + " is not a time from 0 to 152 s");
        return true;
    case OPT_LOOP: {
        const char *colon = std::strchr(value, ':');
        char first[64];
        const std::size_t length = colon ? static_cast<std::size_t>(colon - value) : 0;
        if (!colon || length >= sizeof first)
            return say(error, "--loop: " + quoted(value) + " is not A:B in seconds");
        std::memcpy(first, value, length);
        first[length] = '\0';
        if (!parse_seconds(first, &o->loop_from_ms) || !parse_seconds(colon + 1, &o->loop_to_ms))
            return say(error, "--loop: " + quoted(value) + " is not A:B, each from 0 to 152 s");
        if (o->loop_to_ms <= o->loop_from_ms)
            return say(error, std::string("--loop: ") + value + " ends before it starts");
        return true;
    }
    case OPT_DATA:
        if (*value == '\0') return say(error, "--data: the folder name is empty");
        o->data_dir = value;
        return true;
    case OPT_TUNING:
        o->tuning_line = value; // read by the tuning line's own parser
        return true;
    case OPT_TUNING_FILE:
        if (*value == '\0') return say(error, "--tuning-file: the file name is empty");
        o->tuning_file = value;
        return true;
    case OPT_LINK:
        o->link = value; // read by the link's own parser
        return true;
    case OPT_LINK_FILE:
        if (*value == '\0') return say(error, "--link-file: the file name is empty");
        o->link_file = value;
        return true;
    default:
        return true;
    }
}

} // namespace

DemoOptionsOutcome parse_demo_options(int argc, const char *const *argv, DemoOptions *options,
                                      std::string &error) {
    DemoOptions parsed;
    bool seen[OPT_COUNT] = {};
    const char *studio_only = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        const char *equals = std::strchr(arg, '=');
        const std::size_t name_length =
            equals ? static_cast<std::size_t>(equals - arg) : std::strlen(arg);
        int id = 0;
        while (id < OPT_COUNT && !(std::strlen(Specs[id].name) == name_length &&
                                   std::strncmp(Specs[id].name, arg, name_length) == 0))
            ++id;
        if (id == OPT_COUNT) {
            say(error, "unknown option " + quoted(arg) + " (see --help)");
            return DEMO_OPTIONS_BAD;
        }
        const OptionSpec &spec = Specs[id];
        if (seen[id]) {
            say(error, std::string(spec.name) + " is given more than once");
            return DEMO_OPTIONS_BAD;
        }
        seen[id] = true;
        if (spec.studio_only && !studio_only) studio_only = spec.name;
        const char *value = equals ? equals + 1 : nullptr;
        if (spec.takes_value && !value) {
            if (i + 1 >= argc) {
                say(error, std::string(spec.name) + " needs a value");
                return DEMO_OPTIONS_BAD;
            }
            value = argv[++i];
        } else if (!spec.takes_value && value) {
            say(error, std::string(spec.name) + " takes no value");
            return DEMO_OPTIONS_BAD;
        }
        if (!take_value(static_cast<OptionId>(id), value, &parsed, error)) return DEMO_OPTIONS_BAD;
    }
    if (seen[OPT_HELP]) return DEMO_OPTIONS_HELP;
    parsed.studio = seen[OPT_STUDIO];
    parsed.fullscreen = seen[OPT_FULLSCREEN];
    parsed.pickup = seen[OPT_PICKUP];
    parsed.any_data = seen[OPT_ANY_DATA];
    parsed.start_paused = seen[OPT_PAUSED];
    if (seen[OPT_TUNING] && seen[OPT_TUNING_FILE]) {
        say(error, "--tuning and --tuning-file exclude each other");
        return DEMO_OPTIONS_BAD;
    }
    const char *link = seen[OPT_LINK] ? "--link" : seen[OPT_LINK_FILE] ? "--link-file" : nullptr;
    if (seen[OPT_LINK] && seen[OPT_LINK_FILE]) {
        say(error, "--link and --link-file exclude each other");
        return DEMO_OPTIONS_BAD;
    }
    if (link && (seen[OPT_TUNING] || seen[OPT_TUNING_FILE])) {
        say(error, std::string(link) + " brings its own tuning: not with " +
                       (seen[OPT_TUNING] ? "--tuning" : "--tuning-file"));
        return DEMO_OPTIONS_BAD;
    }
    if (parsed.any_data && !link) {
        say(error, "--any-data goes with --link or --link-file");
        return DEMO_OPTIONS_BAD;
    }
    if (studio_only && !parsed.studio) {
        say(error, std::string(studio_only) + " needs --studio");
        return DEMO_OPTIONS_BAD;
    }
    if (parsed.from_ms >= 0 && parsed.loop_from_ms >= 0 &&
        (parsed.from_ms < parsed.loop_from_ms || parsed.from_ms >= parsed.loop_to_ms)) {
        say(error, "--from must lie inside the --loop span");
        return DEMO_OPTIONS_BAD;
    }
    *options = parsed;
    return DEMO_OPTIONS_RUN;
}
