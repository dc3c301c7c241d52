// The studio's overlay on the page: what it says, handed to the page each frame as JSON, which
// shows its lines beside the picture, a slider for each controller the scene reads and the failing
// shader's line in the editor. Nothing is drawn into the canvas.
#include "app/studio_overlay.h"

#include "app/web_json.h"
#include "gfx/programs.h"
#include "studio/studio_session.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <emscripten.h>

#include <cstdlib>
#include <string>

EM_JS(void, web_studio_view, (const char *json),
      { Module.webPage.studioView(UTF8ToString(json)); });

const bool OverlayBesidePicture = true;

void present_overlay(const OverlayFrame &frame) {
    const OverlayView &v = frame.view;
    char text[OverlayTextSize];
    format_overlay_text(v, text, sizeof text);
    const SceneReads &reads = *v.reads;
    std::string json = "{\"shown\":" + std::string(frame.shown ? "true" : "false") +
                       ",\"loop_ms\":" + std::to_string(v.loop_ms) +
                       ",\"paused\":" + (v.paused ? "true" : "false") +
                       ",\"looping\":" + (v.looping ? "true" : "false") + ",\"loop\":[" +
                       std::to_string(v.loop_from_ms) + "," + std::to_string(v.loop_to_ms) +
                       "],\"divisor\":" + std::to_string(v.preview_divisor) +
                       ",\"scene\":" + std::to_string(reads.scene) +
                       ",\"text\":" + json_quoted(text) + ",\"notes\":" + json_quoted(frame.notes) +
                       ",\"failure\":" + json_quoted(frame.failure) + ",\"reads\":[";
    for (int i = 0; i < reads.count; ++i) {
        const ControllerRead &r = reads.reads[i];
        json += (i ? ",{" : "{") + std::string("\"controller\":") + std::to_string(r.controller) +
                ",\"fallback\":" + std::to_string(r.fallback) +
                ",\"value\":" + std::to_string(r.value) +
                ",\"touched\":" + (r.touched ? "true" : "false") +
                ",\"slots\":" + std::to_string(r.slots) + "}";
    }
    web_studio_view((json + "]}").c_str());
}

// The touched controllers as the clipboard line, for the page to keep in the browser's storage.
extern "C" EMSCRIPTEN_KEEPALIVE char *web_tuned_line() {
    char line[TunedValuesLineSize];
    format_tuned_values(Tuning, line, sizeof line);
    return json_answer(line);
}
