#include "studio/preview_scale.h"

#include "gfx/preview_stretch.h"

static void scaled_pass(void *context, GLuint program) {
    const PreviewScale &preview = *static_cast<const PreviewScale *>(context);
    scene_pass_scaled(program, preview.divisor, preview.stretch);
}

void preview_start(PreviewScale &preview) {
    preview.stretch = build_preview_stretch();
}

void preview_next(PreviewScale &preview) {
    preview.divisor = preview.stretch && preview.divisor < 4 ? preview.divisor * 2 : 1;
}

SceneDrawSeam preview_seam(PreviewScale &preview) {
    return {scaled_pass, SceneDrawGl.draw_credits, &preview};
}

void preview_end(PreviewScale &preview) {
    release_preview_stretch(preview.stretch);
    preview.stretch = 0;
}
