// Text over the finished frame in the window: the studio's overlay.
#pragma once

// The integer scale of the 7-pixel bitmap font at a window height: 2 at 576, 3 at 1080.
int overlay_scale(int window_height);

// Newline-separated lines at the window's upper left over a dark translucent box, in the window's
// framebuffer (call after the post pass: the next scene pass covers the region it copies from).
// Leaves every GL state as it found it.
void draw_overlay_text(const char *text);

// Hands the frame drawn so far to the GL. Called before the overlay, so that the overlay's first
// state change does not pay for the frame's own pending drawing (about a millisecond on llvmpipe).
void overlay_submit_frame();
