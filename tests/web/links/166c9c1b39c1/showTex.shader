#version 120
// Scene 9, the end card: the last embers settle into a glowing bed and cool. Slot 0 is the
// absolute clock (151 s or more). The bed never goes quite dark: the card must hold however
// long it is shown.
uniform sampler2D noiseTexture;
varying vec3 objectPosition;
varying mat4 parameters;

void main(void)
{
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float t = max(parameters[0][0] - 151.0, 0.0);
    float cooling = 0.45 + 0.55 * exp(-t * 0.12);

    // The bed: a band of smouldering noise below the middle, hottest at its centre.
    // The bed lies on the ground: its pattern recedes towards the horizon at y = -0.12.
    float depth = 0.3 / max(-0.12 - p.y, 0.03);
    vec2 ground = vec2(p.x * depth, depth);
    vec2 bedUv = ground * vec2(0.09, 0.3) + vec2(0.31, 0.77);
    float heat = texture2D(noiseTexture, bedUv + vec2(0.0, t * 0.004)).r;
    heat += 0.6 * texture2D(noiseTexture, bedUv * 2.7 - vec2(t * 0.003, 0.0)).g;
    float rise = (p.y + 0.5) * 3.0;
    float band = exp(-rise * rise) * exp(-p.x * p.x * 0.3) * smoothstep(-0.12, -0.24, p.y);
    // Coals: finer grains of heat that pulse slowly on their own.
    float coal = texture2D(noiseTexture, ground * vec2(0.4, 0.9) + vec2(0.63, 0.12)).a;
    coal *= 0.8 + 0.4 * texture2D(noiseTexture, p * 0.2 + vec2(t * 0.01, 0.5)).r;
    float glow = (smoothstep(0.6, 1.3, heat) * 0.8 + smoothstep(0.5, 0.8, coal)) * band * cooling;

    // Afterglow over the horizon behind the bed, night above it.
    float horizon = p.y + 0.12;
    vec3 night = mix(vec3(0.18, 0.08, 0.14), vec3(0.07, 0.05, 0.16), smoothstep(0.0, 0.35, horizon));
    night = mix(night, vec3(0.02, 0.018, 0.06), smoothstep(0.25, 1.1, horizon));
    night *= smoothstep(-0.08, 0.02, horizon) * (0.7 + 0.3 * cooling);
    // Sparse stars: one per cell at most, placed by a short arithmetic hash.
    vec2 cell = floor(p * 7.0);
    vec3 h = fract(vec3(cell.xyx) * vec3(0.1031, 0.103, 0.0973));
    h += dot(h, h.yzx + 33.33);
    h = fract((h.xxy + h.yzz) * h.zyx);
    vec2 off = p * 7.0 - cell - 0.2 - 0.6 * h.xy;
    float star = step(0.7, h.z) * exp(-dot(off, off) * 900.0) * (0.6 + 0.4 * sin(t * 1.3 + 6.0 * h.x));
    night += vec3(0.55, 0.55, 0.7) * star * smoothstep(0.2, 0.6, horizon);
    vec3 colour = night + vec3(0.09, 0.05, 0.07) * band;
    colour += vec3(1.0, 0.42, 0.1) * glow * 1.3 + vec3(1.0, 0.8, 0.45) * glow * glow * 0.35;
    // Smoke above the bed, lit from below.
    float smoke = texture2D(noiseTexture, p * vec2(0.05, 0.09) - vec2(0.0, t * 0.006)).b;
    float above = (p.y + 0.05) * 1.8;
    colour += vec3(0.22, 0.12, 0.14) * smoothstep(0.5, 0.8, smoke) * exp(-above * above) *
              exp(-p.x * p.x * 0.3) * cooling;

    // A few last sparks drift down and go out as they land.
    for (int i = 0; i < 7; ++i) {
        float fi = float(i);
        float life = fract(t * (0.06 + 0.011 * fi) + fi * 0.293);
        float across = fract(sin(fi * 12.9898 + 4.1) * 43758.5453) - 0.5;
        vec2 spark = vec2(across * 3.6 + 0.15 * sin(t * 0.7 + fi), 0.55 - 0.85 * life);
        vec2 d = p - spark;
        colour += vec3(1.0, 0.6, 0.25) * (1.0 - life) * 0.00025 / (dot(d, d) + 0.0003);
    }
    gl_FragColor = vec4(colour, 1.0);
}
