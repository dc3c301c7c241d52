#include "options.h"

const char *capture_usage() {
    return R"(Usage: demo-capture [options]
Renders the demo's timeline offline through the demo's own frame function: every frame from loop
time 0 goes through the same clock and scene scripts (frames before --from without drawing), so a
frame is bit for bit what the demo computes at that loop time. It reads the shaders, the credits
image and the music from data/ in the working directory, or from --data DIR. No window opens; with
no display SDL's offscreen driver is used.

Capture (frame k is drawn at loop time round(k * 1000 / fps) ms):
  --out FOLDER           numbered PNG files FOLDER/frame_NNNNNN.png (NNNNNN = k)
  --out FILE.mp4         H.264 (yuv420p) through ffmpeg, with the music muxed so that music time 0
                         is loop time 0
  --out FILE.png --at S  the single frame nearest loop time S seconds
  --size WxH             frame size, at least 1024x512 (default 1920x1080); every scene is computed
                         at 1024 x 512 and the post pass scales it to the frame
  --fps N                frame rate (default 60)
  --from S, --to S       loop times in seconds to keep (default: the whole run, up to and including
                         the first frame past 151 s, where the demo's loop stops)
  --times FILE           replay recorded loop times instead of a fixed rate: one millisecond value
                         a line, stalls included ('-' reads stdin); folders and --parameters only
  --render-only          draw and read back every frame, write nothing: the renderer's own pace
  --music FILE           the music for an .mp4 (default tune.mp3 in the data folder)
  --crf N                x264 quality for an .mp4, 0 to 51 (default 18)
  --preset NAME          x264 speed for an .mp4, ultrafast ... placebo (default veryfast, which
                         keeps up with the renderer on two cores)
  --png-level N          PNG compression, 0 (stored) to 9 (smallest); default 1, the fastest
  --tuning "LINE"        the line the demo leaves on the clipboard when controllers were turned,
                         e.g. "2:0.50(64) 13:1.00(127) ": applied before the first frame as if those
                         MIDI messages had arrived (controller, data byte in parentheses). Any
                         malformed entry is an error and nothing is applied.
  --link URL             a moment made in the page's studio: its tuning line as --tuning, its edited
                         shaders from a folder of their own, links/ID/ (made from the data folder
                         and the edits, kept after the run; one there already must hold the link's
                         shaders), and for a single .png its time as --at unless --at, --from or
                         --to is given. Refused (exit 2) when malformed, cut short, of another
                         version, made against other data files, or over 2,097,152 characters.
                         Not with --tuning; for the --tuning modes only
  --link-file FILE       the same for the link in FILE (a link may be longer than a command line)
  --any-data             open a link made against other data files
  --make-link PAGE       write a moment as a link to the page at address PAGE, on standard output:
                         its time (--at S, default 0), loop (--from A --to B), --paused, --tuning,
                         and as its edits the shaders of --edits DIR that differ from the data
                         folder's (whose files' hashes it carries)
  --part K/N             the K-th of N contiguous runs of those frames, so that N runs, on as many
                         machines, make the whole: PNG files go into FOLDER under their own numbers;
                         an .mp4 becomes FILE.part-K-of-N.mp4, a silent segment for --join (made
                         under a hidden name and renamed when whole, as every PNG file is)
  --dry-run              check the line and print the frames it would make, make nothing
Frames are read back while the next one renders and written by other threads, a few frames in
flight at most whatever the span. Ctrl+C stops after the frame being drawn: what was drawn is
written, an .mp4 is finished with it (music included; a part's segment is dropped), and the exit
code is 130.

Other modes:
  --parameters           no drawing, no GL: CSV on stdout (or --out FILE.csv) with the header
                         now_ms,clock,scene,local_time,p0,...,p15 and one row per frame; floats
                         are printed with %.9g and read back exactly
  --noise FILE           no drawing, no GL: the noise texture's 256 x 256 RGBA bytes (262,144)
  --shader FILE --out FILE.png [--at S]
                         renders any fragment shader through the scene pass and the post pass,
                         with parameter slot 0 = S (default 0) and every other slot 0
  --contact-sheet FILE.png [--cell W] [--size WxH] [--fps N]
                         one frame from the middle of each scene in a 3 x 3 grid, scenes 1 to 9
                         left to right, top to bottom, cells W pixels wide (default 384; frames
                         rendered at 1024x512 unless --size). Scene 9 begins at clock 151, which
                         the demo never reaches: its frame comes from the same run continued past
                         the end at the same rate, one second of clock into scene 9.
  --bench                median ms per frame of each scene at 1024x512 (a few frames inside each
                         scene's span, glFinish after each) beside a null pass, the start-up steps,
                         and the CPU time of the clock and scene scripts per frame
  --bench-frames N       timed frames per scene (default 5)
  --data DIR             the folder of the shaders, credits image and music (default data)
  --bench-capture        ms per frame of one span captured three ways in one run: render only,
                         PNG files and an .mp4 without sound (in a scratch folder, removed after),
                         each against render only; takes --size, --fps, --from/--to (default
                         60 to 62 s), --preset, --crf, --png-level, --tuning
  --join N --out FILE.mp4
                         the segments of --part 1/N ... N/N --out FILE.mp4, copied into FILE.mp4
                         without encoding again and muxed with the music once; takes the parts'
                         --fps, --from/--to and --music, --data. A segment missing, unreadable or
                         not of its part's length is named, as is a joined video short of their
                         frames (music shorter than the span), and FILE.mp4 is left as it was
  -h, --help             this text

Shader compile errors are printed on stderr and end the run. Exit codes: 0 done, 1 failure,
2 bad usage (including a malformed --tuning line or --times file, or a link refused), 130
interrupted.
)";
}
