// The studio's overlay where its platform shows it: natively its lines drawn over the finished
// frame, never into the picture; in the browser page elements beside the picture, with a slider
// for each controller the scene reads and the failing shader's line marked in the editor.
#pragma once
#include "studio/overlay_text.h"

struct OverlayFrame {
    bool shown;          // Tab hides it
    OverlayView view;    // what it says
    const char *notes;   // the session's lines (studio_session_notes)
    const char *failure; // the first shader that failed, "FILE:LINE: message"; "" when all build
};

// Once a frame, after the frame is drawn and before the swap; while Tab hides the overlay only
// where the platform shows the view beside the picture anyway.
void present_overlay(const OverlayFrame &frame);
// True on the page, whose sliders stay while the overlay's lines are hidden.
extern const bool OverlayBesidePicture;
