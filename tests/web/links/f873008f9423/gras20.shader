#version 120
// Sunset over the meadow (scene 6): the sun sinks below the horizon behind backlit grass.
// Slots: 0 time, 1 brightness, 2 camera height, 3 sun height, 4 fade, 15 sweep (0..2.625);
// knobs 5 wind, 6 warmth, 7 clouds, 8 rays, 9 haze.
uniform sampler2D noiseMap;
varying vec3 objectPosition;
varying mat4 parameters;

const float Focal = 1.5;
const int Layers = 24;

// Arithmetic hash: a sine per call would cost more than the rest of a row.
float hash(float n) {
    n = fract(n * 0.1031);
    n *= n + 33.33;
    n *= n + n;
    return fract(n);
}

float wind(vec2 q, float t) {
    vec4 n = texture2D(noiseMap, q * vec2(0.06, 0.04) + vec2(-0.05 * t, 0.013 * t));
    return n.x * 1.5 + n.y * 0.5 - 1.0;
}

void main(void) {
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float t = parameters[0][0];
    float bright = clamp(parameters[0][1], 0.0, 2.0);
    float camH = clamp(parameters[0][2], 0.05, 1.0) * 2.0;
    float sunH = clamp(parameters[0][3], -2.0, 2.0);
    float fade = clamp(parameters[1][0], 0.0, 1.0);
    float windAmt = clamp(parameters[1][1], 0.0, 1.0);
    float warmth = clamp(parameters[1][2], 0.0, 1.0);
    float clouds = clamp(parameters[1][3], 0.0, 1.0);
    float rays = clamp(parameters[2][0], 0.0, 1.0);
    float haze = clamp(parameters[2][1], 0.0, 1.0);
    float sweep = clamp(parameters[3][3], 0.0, 3.0) / 2.625;

    float horizon = -0.3;
    vec2 sun = vec2(0.25, horizon + sunH * 0.34);
    // 1 while the sun is up, falling through dusk to 0 as it sinks.
    float day = smoothstep(-0.35, 0.5, sunH);
    float glowUp = smoothstep(-0.9, 0.1, sunH);
    vec3 warm = mix(vec3(1.0, 0.50, 0.18), vec3(1.0, 0.38, 0.22), warmth);

    // The sky: violet night overhead, amber towards the horizon, gathered around the sun.
    float h = p.y - horizon;
    vec2 ds = p - sun;
    float dsun = length(ds * vec2(0.7, 1.0));
    vec3 zenith = mix(vec3(0.04, 0.045, 0.15), vec3(0.09, 0.16, 0.44), day);
    vec3 low = mix(vec3(0.32, 0.14, 0.22), warm * 0.9, day * 0.8);
    vec3 skyCol = mix(low, zenith, smoothstep(0.0, 0.9, h));
    skyCol += warm * (0.55 * glowUp) * exp(-dsun * 1.3) * (0.6 + 0.4 * day);
    skyCol += warm * 0.35 * glowUp * exp(-max(h, 0.0) * 7.0) * exp(-abs(ds.x) * 0.5);
    // The disc, clipped by the horizon.
    float disc = smoothstep(0.085, 0.075, length(ds)) * step(horizon, p.y);
    vec3 sunCol = mix(vec3(1.0, 0.8, 0.5), vec3(1.0, 0.55, 0.25), 1.0 - day);
    skyCol = mix(skyCol, sunCol * 0.95, disc);
    skyCol += sunCol * (0.5 * exp(-dsun * dsun * 120.0) + 0.1 * haze / (1.0 + dsun * dsun * 20.0)) *
              step(horizon - 0.02, p.y) * glowUp;
    // The rays' angle, for their reads below.
    // The angle in turns from whichever of two cuts lies away from this pixel, with whole
    // multiples of the texture's period, so the rays show no seam.
    // atan(0, 0) is left undefined: the pixel under the sun's centre looks a hair aside.
    vec2 da = dot(ds, ds) > 1e-12 ? ds : vec2(1e-6, 0.0);
    float a1 = atan(da.y, da.x) / 6.2831853;
    // The same angle cut along +x: one atan instead of two.
    float a2 = fract(a1);
    float turn = fwidth(a1) < fwidth(a2) ? a1 : a2 - 1.0;
    vec2 cq = vec2(p.x / (h + 0.4), 1.0 / (h + 0.4)) * vec2(0.06, 0.12) + vec2(0.004 * t, 0.0);
    // The sky's reads (rays, hills, clouds) in a loop: blocks of pixels whose 2 x 2 quads lie
    // wholly below the horizon, where the sky is not drawn, leave it after one read. llvmpipe runs
    // code outside loops on every pixel; a loop is where a block can stop early. The quad decides,
    // so that a read's level of detail comes from the same neighbours as before. The reads are
    // counted in a float that the compiler cannot see is 1 a pass, and the loop's bound is past
    // what it unrolls: unrolled, the loop would be straight code again.
    // The rays are read everywhere in the sky, the clouds only over 0.02 and the hills (at most
    // 0.092 high) only under 0.094: a quad wholly on one side of that band takes four reads.
    float under = p.y < horizon ? 1.0 : 0.0;
    float reads = under > 0.5 ? 0.0 : (h > 0.0945 || h < 0.0195 ? 4.0 : 6.0);
    if (fwidth(reads) > 0.0) reads = 6.0;
    bool cloudsFirst = reads == 4.0 && h > 0.0945;
    float one = step(-2.0, p.y);
    float slot = 0.0;
    vec4 cloudA = vec4(0.0), cloudB = vec4(0.0), rayA = vec4(0.0), rayB = vec4(0.0);
    vec4 hillA = vec4(0.0), hillB = vec4(0.0);
    for (int k = 0; k < 64; k++) {
        if (slot >= reads) break;
        // Slots 0 to 5: rays, rays, hills, hills, clouds, clouds; over the band the clouds take
        // the hills' slots.
        float which = cloudsFirst && slot > 1.5 ? slot + 2.0 : slot;
        vec2 q = which < 0.5   ? vec2(turn * 10.0, 0.05 * t)
                 : which < 1.5 ? vec2(turn * 26.0, 0.5)
                 : which < 2.5 ? vec2(p.x * 0.05 + 0.7, 0.3)
                 : which < 3.5 ? vec2(p.x * 0.6, 0.8)
                 : which < 4.5 ? cq
                               : cq * vec2(2.2, 3.1) + 0.3;
        vec4 n = texture2D(noiseMap, q);
        if (which < 0.5) rayA = n;
        else if (which < 1.5) rayB = n;
        else if (which < 2.5) hillA = n;
        else if (which < 3.5) hillB = n;
        else if (which < 4.5) cloudA = n;
        else cloudB = n;
        slot += one;
        if (slot >= reads) break;
    }
    // Streaks of cloud lit from below: amber rims near the sun, violet further off.
    float cn = cloudA.z * 0.65 + cloudB.w * 0.35;
    float cl = smoothstep(0.62 - 0.25 * clouds, 0.85 - 0.2 * clouds, cn) *
               smoothstep(0.02, 0.15, h) * smoothstep(1.2, 0.4, h);
    float rim = smoothstep(0.0, 0.12, cn - 0.6 + 0.25 * clouds) * exp(-dsun * 1.5);
    vec3 cloudCol =
        mix(vec3(0.18, 0.10, 0.20), warm * 0.9, exp(-dsun * 1.2) * (0.3 + 0.7 * glowUp));
    skyCol = mix(skyCol, cloudCol + warm * rim * 0.5 * glowUp, cl * 0.85);
    // Rays fanning out from the sun through the gaps.
    float fan = rayA.x * rayB.y;
    skyCol += warm * (0.08 + 0.3 * rays) * smoothstep(0.15, 0.45, fan) * exp(-dsun * 1.4) * glowUp *
              (1.0 - cl);
    // Stars come out as the light goes.
    vec2 sq = floor(p * 95.0);
    float st = hash(sq.x * 131.7 + sq.y * 7.31);
    skyCol += vec3(0.7, 0.75, 1.0) * step(0.993, st) *
              smoothstep(0.35, 0.0, length(fract(p * 95.0) - 0.5)) * smoothstep(0.3, 0.8, h) *
              (1.0 - day) * (1.0 - cl);
    // Distant hills.
    float hill = 0.02 + 0.06 * hillA.x + 0.012 * hillB.y;
    vec3 hillCol = mix(low * 0.35, vec3(0.05, 0.04, 0.09), 0.5);
    skyCol = mix(skyCol,
                 hillCol + warm * 0.15 * exp(-abs(ds.x) * 1.5) * glowUp *
                               smoothstep(-0.04, 0.0, p.y - horizon - hill),
                 smoothstep(0.002, -0.002, p.y - horizon - hill));

    // The meadow: rows of blades standing against the light.
    vec3 bladeDark = mix(vec3(0.03, 0.035, 0.03), vec3(0.06, 0.075, 0.03), day);
    vec3 rimCol = warm * mix(0.45, 1.2, day) * glowUp;
    float pix = 2.0 / 512.0 / Focal;
    float cellW = 0.045;
    float bladeW = cellW * 0.2;
    float below = horizon - p.y;
    float first = 0.0;
    if (below > 0.0 && camH > 0.65)
        first = max(floor(log(max((camH - 0.65) * Focal / below, 0.3) / 0.3) / log(1.17)), 0.0);
    float z = 0.3 * pow(1.17, first);
    // The sweep: a band of light rolling in over the meadow from the horizon.
    float front = 40.0 * exp(-3.2 * sweep);
    float nearSun = exp(-dot(ds, ds) * 0.8);
    vec3 col = vec3(0.0);
    float trans = 1.0;
    for (int i = 0; i < Layers; i++) {
        float fi = first + float(i);
        float Xw = (p.x / Focal) * z;
        float Y = camH + ((p.y - horizon) / Focal) * z;
        if (Y < 0.0) break;
        // Above the rows' reach; rising rows (above the horizon) only climb higher.
        if (Y > 0.65 && below < 0.0) break;
        float w = wind(vec2(Xw, z), t);
        float X = Xw + hash(fi * 3.17) * 7.0 - (0.25 + 0.8 * windAmt) * (w + 0.3) * Y * Y;
        float cell = floor(X / cellW);
        float r1 = hash(cell + fi * 91.3);
        float r2 = hash(cell * 1.37 + fi * 17.1 + 5.0);
        float tall = step(hash(cell * 0.73 + fi * 3.9 + 11.0), 0.3 + 0.1 * fi);
        float bh = (0.16 + 0.42 * r2 * (0.6 + 0.8 * r1)) * (0.35 + 0.65 * tall);
        float v = Y / bh;
        float xc = (cell + 0.2 + 0.6 * r1) * cellW;
        float width =
            bladeW * (0.6 + 0.6 * r1) * (0.5 + 0.5 * tall) * sqrt(clamp((1.0 - v) * 2.5, 0.0, 1.0));
        float u = (X - xc) / max(width, 1e-4);
        float aa = pix * z / max(width, 1e-4);
        float cover =
            clamp((1.0 - abs(u)) / max(aa, 1e-3), 0.0, 1.0) * step(v, 1.0) * step(Y, 0.65);
        if (cover > 0.001) {
            // Backlit: the edges and the thin tips glow where the light comes through.
            float edge = u * u;
            edge *= edge;
            vec3 c = bladeDark * (0.6 + 0.5 * v);
            c += rimCol * (edge * 0.7 + smoothstep(0.6, 1.0, v) * 0.2) * (0.1 + 0.9 * nearSun) *
                 (0.5 + 0.5 * r1);
            c += vec3(0.50, 0.55, 0.12) * day * (0.04 + 0.25 * nearSun) * v * v;
            float band = exp(-pow((z - front) / (0.15 * front + 0.3), 2.0));
            c += mix(warm, vec3(0.9, 0.8, 0.4), 0.4) * band * v * v * 1.6 * (0.5 + 0.5 * glowUp);
            float fog = 1.0 - exp(-z * 0.09);
            c = mix(c, mix(low, warm * 0.7, 0.3 * glowUp) * 0.7, fog);
            col += trans * cover * c;
            trans *= 1.0 - cover;
            if (trans < 0.02) break;
        }
        z *= 1.17;
    }
    if (trans > 0.0) {
        vec3 ground = mix(low * 0.45, vec3(0.02, 0.02, 0.04), smoothstep(0.0, 0.3, below));
        float zg = below > 0.0 ? camH * Focal / below : 0.0;
        float band = exp(-pow((zg - front) / (0.15 * front + 0.3), 2.0));
        ground += warm * band * 0.15 * step(0.0, below);
        col += trans * (below > 0.0 ? ground : skyCol);
    }
    // Haze over everything near the sun, flaring as each sweep sets out.
    float flare = exp(-sweep * 7.0);
    col += warm * (0.05 + 0.15 * haze + 0.12 * flare) * glowUp * exp(-dsun * 1.8);

    col *= bright * (0.4 + 0.6 * fade);
    col = col / (1.0 + 0.3 * col);
    gl_FragColor = vec4(col, 1.0);
}
