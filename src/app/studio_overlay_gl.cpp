// The studio's overlay drawn over the finished frame with the bitmap font.
#include "app/studio_overlay.h"

#include "gfx/overlay_font.h"
#include "studio/studio_session.h"

#include <cstdio>

const bool OverlayBesidePicture = false;

void present_overlay(const OverlayFrame &frame) {
    if (!frame.shown) return;
    char text[OverlayTextSize + StudioNotesSize];
    const std::size_t length = format_overlay_text(frame.view, text, sizeof text);
    std::snprintf(text + length, sizeof text - length, "\n%s", frame.notes);
    draw_overlay_text(text);
}
