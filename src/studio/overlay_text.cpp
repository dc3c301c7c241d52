#include "studio/overlay_text.h"

#include "gfx/programs.h"

#include <cstdarg>
#include <cstdio>

namespace {

class Lines {
  public:
    Lines(char *text, std::size_t size) : text_(text), size_(size) {
        if (size_ > 0) text_[0] = '\0';
    }
    // One line; the ones that no longer fit whole are left out.
    void add(const char *format, ...) {
        char line[64];
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        const std::size_t separator = length_ > 0 ? 1 : 0;
        if (n < 0 || length_ + separator + static_cast<std::size_t>(n) + 1 > size_) return;
        length_ +=
            std::snprintf(text_ + length_, size_ - length_, "%s%s", separator ? "\n" : "", line);
    }
    std::size_t length() const { return length_; }

  private:
    char *text_;
    std::size_t size_;
    std::size_t length_ = 0;
};

// "8" or "8,10" or "-": the slots a controller feeds.
void slot_list(unsigned slots, char *out, std::size_t size) {
    std::size_t at = 0;
    out[0] = '\0';
    for (int k = 0; k < 32 && at + 4 < size; ++k)
        if (slots & (1u << k)) at += std::snprintf(out + at, size - at, at ? ",%d" : "%d", k);
    if (at == 0) std::snprintf(out, size, "-");
}

} // namespace

std::size_t format_overlay_text(const OverlayView &view, char *text, std::size_t size) {
    Lines lines(text, size);
    const SceneReads *reads = view.reads;
    const bool has_program =
        reads && reads->program_slot >= 0 && reads->program_slot < SceneProgramCount;
    if (reads)
        lines.add("scene %d  %s", reads->scene,
                  has_program ? SceneShaderFiles[reads->program_slot] : "(no program)");
    lines.add("loop  %9.3f s", view.loop_ms / 1000.0);
    lines.add("clock %9.3f s", static_cast<double>(view.clock));
    lines.add("%s", view.paused ? "PAUSED" : "playing");
    if (view.looping)
        lines.add("looping %.3f - %.3f s", view.loop_from_ms / 1000.0, view.loop_to_ms / 1000.0);
    if (view.frames.frames > 0)
        lines.add("frame %6.1f ms med %6.1f ms p99", static_cast<double>(view.frames.median_ms),
                  static_cast<double>(view.frames.p99_ms));
    else
        lines.add("frame     - ms med      - ms p99");
    lines.add("preview 1/%d (S)", view.preview_divisor);
    if (!reads) return lines.length();
    lines.add("%s", reads->count ? "ctl default slot  value" : "no controller read");
    for (int i = 0; i < reads->count; ++i) {
        const ControllerRead &read = reads->reads[i];
        char slots[24];
        slot_list(read.slots, slots, sizeof slots);
        lines.add("%3d  %6.3f %4s %6.3f %s", read.controller, static_cast<double>(read.fallback),
                  slots, static_cast<double>(read.value), read.touched ? "touched" : "default");
    }
    return lines.length();
}
