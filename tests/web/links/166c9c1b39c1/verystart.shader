#version 120
// Scene 1: darkness, drifting mist and a faint ember. Slot 0 is the time, slot 1 the veil
// (high: the picture dissolved into grain and haze, 0: clear). The credits cards pass over the
// band from y = 0.3 to 0.6, so the mist is kept thin and slow there.
uniform sampler2D noiseTexture;
varying vec3 objectPosition;
varying mat4 parameters;

// Each channel of the noise is a smooth field with a mean near 0.53 and a spread near 0.15.
float layered(vec2 uv, vec2 drift)
{
    float sum = texture2D(noiseTexture, uv + drift).r * 0.5;
    sum += texture2D(noiseTexture, uv * 2.03 - drift * 1.3).g * 0.27;
    sum += texture2D(noiseTexture, uv * 4.11 + drift * 1.7).b * 0.15;
    sum += texture2D(noiseTexture, uv * 8.37 - drift * 2.1).a * 0.08;
    return sum;
}

void main(void)
{
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float t = parameters[0][0];
    float veilRamp = max(parameters[0][1], 0.0);
    float veil = 1.0 - exp(-0.32 * veilRamp);
    // The veil that closes the scene glows instead of darkening: it hands over to the wisp.
    float closing = smoothstep(24.0, 34.0, t);

    // The ember breathes slowly and flickers a little.
    vec2 ember = vec2(0.04 * sin(t * 0.21), -0.24 + 0.015 * sin(t * 0.37));
    float flicker = texture2D(noiseTexture, vec2(t * 0.043, 0.31)).r;
    float breath = 0.75 + 0.5 * flicker + 0.6 * closing * veil;
    vec2 toEmber = p - ember;
    float d2 = dot(toEmber, toEmber);

    // Mist: two sheets drifting at different speeds, the near one warped by the far one.
    vec2 warp = texture2D(noiseTexture, p * 0.035 + vec2(t * 0.0021, 0.0)).rg - 0.5;
    float far = layered(p * vec2(0.04, 0.08) + warp * 0.05, vec2(t * 0.0018, -t * 0.0006));
    float near = layered(p * vec2(0.07, 0.15) + warp * 0.11, vec2(-t * 0.0031, t * 0.0012));
    float calm = 1.0 - 0.6 * smoothstep(0.2, 0.42, p.y) * (1.0 - smoothstep(0.62, 0.85, p.y));
    float mist = smoothstep(0.38, 0.78, far) * 0.6 + smoothstep(0.45, 0.8, near) * 0.7 * calm;
    // The mist lies thickest low down, a bank below the ember.
    mist *= 1.0 + 0.6 * smoothstep(0.1, -0.7, p.y);

    // Night sky: blue-violet, deepest at the top.
    vec3 night = mix(vec3(0.045, 0.035, 0.11), vec3(0.012, 0.01, 0.035), smoothstep(-1.0, 1.0, p.y));

    // Warm light from the ember; the mist catches it, strongest close by.
    float glow = breath * (0.05 / (0.05 + d2 * 2.2));
    float halo = breath * exp(-d2 * 1.4);
    vec3 amber = vec3(1.0, 0.55, 0.18);
    vec3 mistLight = vec3(0.25, 0.22, 0.46) + amber * (0.5 * halo + 0.3 * glow);
    vec3 colour = night + mist * mistLight * 0.7;
    colour += amber * glow * 0.22;
    float core = exp(-d2 * 900.0) * breath;
    colour += vec3(1.0, 0.78, 0.5) * core * 0.55 + amber * exp(-d2 * 120.0) * breath * 0.2;

    // A few sparks rise from the ember and go out before they reach the cards' band.
    for (int i = 0; i < 6; ++i) {
        float fi = float(i);
        float phase = fract(t * (0.11 + 0.017 * fi) + fi * 0.381);
        float sway = 0.3 * sin(t * (0.23 + 0.05 * fi) + fi * 2.1) + 0.2 * sin(phase * 5.0 + fi);
        vec2 spark = ember + vec2(sway * 1.2 * phase + (fi - 2.5) * 0.03 * phase, phase * (0.3 + 0.03 * fi));
        vec2 ds = p - spark;
        float life = phase * (1.0 - phase) * 4.0;
        colour += amber * life * 0.00012 / (dot(ds, ds) + 0.00016);
    }

    // The veil: a haze that flattens the picture, and grain that eats it.
    // Grain: a short arithmetic hash of the pixel and the frame (the smooth noise texture would
    // alias into a lattice at one sample per pixel).
    vec3 cell = fract(vec3(gl_FragCoord.xy, floor(fract(t * 0.37) * 997.0)) * 0.1031);
    cell += dot(cell, cell.yzx + 33.33);
    float grain = fract((cell.x + cell.y) * cell.z) - 0.5;
    vec3 hazeDark = vec3(0.05, 0.04, 0.1) + amber * halo * 0.1;
    vec3 hazeBright = vec3(0.1, 0.06, 0.09) + amber * (0.3 * halo + 0.25 * glow) + mist * amber * 0.12;
    vec3 haze = mix(hazeDark, hazeBright, closing);
    colour = mix(colour, haze, veil * 0.85);
    colour += grain * (0.04 + 0.3 * veil) * (0.25 + dot(colour, vec3(0.9)));

    gl_FragColor = vec4(max(colour, vec3(0.0)), 1.0);
}
