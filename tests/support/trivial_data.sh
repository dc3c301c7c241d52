# Sourced by end-to-end scripts: make_trivial_data DIR writes DIR/data/ with nine tiny valid shaders.
make_trivial_data() {
    mkdir -p "$1/data"
    for name in verystart showTex cloudstuff.1 gras20 gras10 gras12.2 ball8 Background simpleTex; do
        cat > "$1/data/$name.shader" <<'GLSL'
#version 120
varying vec3 objectPosition;
varying mat4 parameters;
void main(void) { gl_FragColor = vec4(0.5 + 0.5 * objectPosition.xy, fract(parameters[0][0]), 1.0); }
GLSL
    done
}
