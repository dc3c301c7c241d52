// Which loop times a capture feeds to render_frame, and which of those frames it keeps.
#pragma once
#include "timeline/frame_grid.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct FrameRange {
    bool has_from = false;
    double from_s = 0.0;
    bool has_to = false;
    double to_s = 0.0;
};

// Every stamp from the first frame on; the frames [first_kept, stamps.size()) are the ones drawn
// or printed. Frame numbers are indices into stamps.
struct FramePlan {
    std::vector<int32_t> stamps;
    std::size_t first_kept = 0;
    std::size_t kept() const { return stamps.size() - first_kept; }
};

// Fixed rate from frame 0. Without an end the run stops as the demo's loop does: after the first
// frame past the demo's length.
FramePlan plan_fixed_rate(double fps, const FrameRange &range);
// Fixed rate up to and including the frame nearest `at_s`, of which only that one is kept.
FramePlan plan_single_frame(double fps, double at_s);
// Recorded stamps, all run in order; those inside the range are kept. Stamps after the range are
// not run at all.
FramePlan plan_recorded(const std::vector<int32_t> &times, const FrameRange &range);

// The kept frames [begin, end) of part k (from 1) of n, counted from the first kept: contiguous
// runs that hold every frame once, in order, and differ in length by a frame at most.
struct PartSpan {
    std::size_t begin, end;
};
PartSpan part_span(std::size_t kept, int k, int n);
// Part k (from 1) of n contiguous runs of the kept frames, as a plan of its own: the stamps up to
// its last frame, its first frame the first kept. Needs 1 <= k <= n <= whole.kept().
FramePlan plan_part(const FramePlan &whole, int k, int n);

// One millisecond value a line; blank lines are skipped. False with the line number in error when a
// line is not a whole 32-bit integer or when there is no value at all.
bool read_frame_times(std::istream &in, std::vector<int32_t> &times, std::string &error);
