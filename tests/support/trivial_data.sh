# Sourced by end-to-end scripts: make_trivial_data DIR writes DIR/data/ with nine tiny valid shaders.
# scene_shader_names prints the scene shader files' names, from the list programs.cpp includes.
scene_shader_names() {
    sed -n 's|^"\(.*\)\.shader",$|\1|p' \
        "$(dirname "${BASH_SOURCE[0]}")/../../src/gfx/scene_shader_files.inc"
}
make_trivial_data() {
    mkdir -p "$1/data"
    for name in $(scene_shader_names); do
        cat > "$1/data/$name.shader" <<'GLSL'
#version 120
varying vec3 objectPosition;
varying mat4 parameters;
void main(void) { gl_FragColor = vec4(0.5 + 0.5 * objectPosition.xy, fract(parameters[0][0]), 1.0); }
GLSL
    done
}
