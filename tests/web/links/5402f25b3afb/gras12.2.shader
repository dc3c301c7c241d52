#version 120
// The meadow from low among the blades, lit by the drifting wisp (scenes 3 and 5).
// Slots: 0 time, 1 brightness, 15 wisp pulse; knobs 4 wind, 5 hue, 6 density, 7 camera height,
// 8 glow.
uniform sampler2D noiseMap;
varying vec3 objectPosition;
varying mat4 parameters;

const float Focal = 1.7;
const int Layers = 26;

// Arithmetic hash: a sine per call would cost more than the rest of a row.
float hash(float n) {
    n = fract(n * 0.1031);
    n *= n + 33.33;
    n *= n + n;
    return fract(n);
}

// Wind as a smooth field: two octaves of the noise texture rolling across the meadow.
float wind(vec2 q, float t) {
    vec4 n = texture2D(noiseMap, q * vec2(0.06, 0.04) + vec2(-0.045 * t, 0.013 * t));
    return n.x * 1.5 + n.y * 0.5 - 1.0;
}

// Where the thin clouds' coarse layer is read (.z); the fine layer is read at 2.7 times that (.w).
vec2 cloudCoord(vec2 p, float horizon, float t, float blue) {
    float h = (p.y - horizon) / (1.0 + 0.8 * blue);
    return vec2(p.x / (h + 0.35), 1.0 / (h + 0.35)) * 0.08 + vec2(0.004 * t, 0.0);
}

// blue: 0 for the amber afterglow, 1 for the blue hour that the view from down among the
// blades looks up into. coarse, fine: the clouds' two reads.
vec3 skyColour(vec2 p, float horizon, float t, float blue, float coarse, float fine) {
    float h = (p.y - horizon) / (1.0 + 0.8 * blue);
    vec3 low = mix(vec3(0.50, 0.26, 0.20), vec3(0.32, 0.42, 0.80), blue);
    vec3 mid = mix(vec3(0.17, 0.12, 0.30), vec3(0.14, 0.16, 0.42), blue);
    vec3 high = mix(vec3(0.015, 0.015, 0.07), vec3(0.04, 0.04, 0.16), blue);
    vec3 c = mix(low, mid, smoothstep(0.0, 0.35, h));
    c = mix(c, high, smoothstep(0.3, 1.1, h));
    // A last amber band where the sun went down, off to the left.
    c += vec3(0.35, 0.16, 0.04) * (1.0 - 0.7 * blue) * exp(-h * 5.0) * smoothstep(1.8, -1.2, p.x) *
         step(0.0, h);
    // Thin drifting clouds catching the last light from below.
    float cl = coarse * 0.7 + fine * 0.3;
    cl = smoothstep(0.5, 0.8, cl) * smoothstep(0.02, 0.2, h);
    c = mix(c, vec3(0.36, 0.20, 0.26) * (1.0 - 0.6 * smoothstep(0.1, 0.8, h)), cl * 0.6);
    // A few stars high up.
    vec2 sq = floor(p * 90.0);
    float s = hash(sq.x * 131.7 + sq.y * 7.31);
    vec2 sf = fract(p * 90.0) - 0.5;
    c += vec3(0.7, 0.75, 1.0) * step(0.992, s) * smoothstep(0.25, 0.0, length(sf)) *
         smoothstep(0.25, 0.7, h) * (1.0 - cl);
    return c;
}

// The sky right at the horizon, without clouds or stars: what the distant meadow fades into.
vec3 horizonColour(float x, float blue) {
    vec3 low = mix(vec3(0.50, 0.26, 0.20), vec3(0.32, 0.42, 0.80), blue);
    return low + vec3(0.35, 0.16, 0.04) * (1.0 - 0.7 * blue) * smoothstep(1.8, -1.2, x);
}

// The wisp weaves between the blades a few metres ahead.
vec3 wispAt(float t, float camH, float lift) {
    return vec3(0.55 * sin(t * 0.45) + 0.2 * sin(t * 1.3),
                camH + mix(0.16, -0.3, lift) + 0.05 * sin(t * 1.7) + 0.08 * sin(t * 0.6),
                mix(0.8, 1.3, lift) + 0.3 * sin(t * 0.31 + 1.0));
}

vec2 project(vec3 q, float camH, float horizon) {
    return vec2(q.x, q.y - camH) * Focal / q.z + vec2(0.0, horizon);
}

void main(void) {
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float t = parameters[0][0];
    float bright = clamp(parameters[0][1], 0.0, 2.0);
    float windAmt = clamp(parameters[1][0], 0.0, 1.0);
    float hue = clamp(parameters[1][1], 0.0, 1.0);
    float density = clamp(parameters[1][2], 0.0, 1.0);
    float camKnob = clamp(parameters[1][3], 0.0, 1.0);
    float glowKnob = clamp(parameters[2][0], 0.0, 1.0);
    float pulse = clamp(parameters[3][3], 0.0, 1.0);

    float camH = mix(0.2, 0.95, camKnob);
    // Look down a little more from higher up so the meadow still fills the frame.
    float lift = smoothstep(0.0, 0.5, camKnob);
    float horizon = 0.42 * lift;
    float blue = 1.0 - lift;

    vec3 wisp = wispAt(t, camH, lift);
    float wispI = (1.1 + 2.2 * pulse) * (0.9 + 0.1 * sin(t * 23.0));
    vec2 dw = p - project(wisp, camH, horizon);
    float r2 = dot(dw, dw);
    vec3 wispCol = vec3(1.0, 0.72, 0.36);
    vec3 glow = wispCol * wispI * (0.9 * exp(-r2 * 500.0) + 0.15 * exp(-r2 * 40.0)) +
                vec3(1.0, 0.95, 0.85) * wispI * exp(-r2 * 4000.0);
    // The wide halo is light scattered in the air in front of the grass: never hidden.
    vec3 halo =
        wispCol * wispI *
        ((0.06 + 0.12 * glowKnob) * exp(-r2 * 20.0) + (0.03 + 0.1 * glowKnob) / (1.0 + r2 * 18.0));
    // Sparks shed along the path it has just flown, laid back along its heading.
    vec2 head = project(wisp, camH, horizon);
    vec2 back = project(wispAt(t - 0.3, camH, lift), camH, horizon) - head;
    // Each spark is a few thousandths wide: 0.1 outside the box of their centres a pixel gets
    // under 1e-11 of light from all seven, so it leaves the loop at once, and a block of pixels
    // that lies wholly outside pays for none of them (llvmpipe runs a loop until its last lane
    // leaves). Counted in a float that the compiler cannot see is 1 a pass, past the bound it
    // unrolls: unrolled, the loop would be straight code that every pixel runs.
    vec2 fromHead = p - head;
    vec2 nearest = min(back * 0.3, back * 2.1) + vec2(0.0, 0.004) - 0.1;
    vec2 furthest = max(back * 0.3, back * 2.1) + vec2(0.0, 0.196) + 0.1;
    bool nearWake = all(greaterThan(fromHead, nearest)) && all(lessThan(fromHead, furthest));
    float fk = 0.0;
    for (int k = 0; k < 64; k++) {
        fk += step(-2.0, p.y);
        if (!nearWake || fk > 7.5) break;
        vec2 d = p - head - back * (fk * 0.3) - vec2(0.0, 0.004 * fk * fk);
        float flick = abs(fract(fk * 0.618 + t * 4.7) * 2.0 - 1.0);
        glow += vec3(1.0, 0.8, 0.5) * wispI * flick * (1.0 - fk / 8.0) *
                exp(-dot(d, d) * (2500.0 + 200.0 * fk)) * 0.6;
    }

    // Green-gold at the default, turning from sage to straw as the hue knob sweeps.
    float hs = (hue - 0.4) * 1.6;
    vec3 tipCol = vec3(0.40 + 0.20 * hs, 0.46 - 0.05 * hs, 0.13 - 0.05 * hs);
    vec3 baseCol = vec3(0.05, 0.07, 0.045);
    vec3 skyLight = vec3(0.30, 0.26, 0.55);

    float cellW = mix(0.075, 0.03, density);
    float bladeW = cellW * 0.19;
    vec3 col = vec3(0.0);
    float trans = 1.0;
    bool wispDone = false;
    // Distant grass melts into the sky just above the horizon.
    vec3 fogCol = horizonColour(p.x, blue) * vec3(0.85, 0.8, 0.9);
    float pix = 2.0 / 512.0 / Focal;

    // Rows stand at fixed distances 0.3 * 1.16^i; below the horizon the march starts at the first
    // row whose tallest blade can reach this pixel's ray.
    float below = horizon - p.y;
    float first = 0.0;
    if (below > 0.0 && camH > 0.62)
        first = max(floor(log(max((camH - 0.62) * Focal / below, 0.3) / 0.3) / log(1.16)), 0.0);
    float z = 0.3 * pow(1.16, first);
    float zGround = below > 0.0 ? camH * Focal / below : 1e4;
    for (int i = 0; i < Layers; i++) {
        float fi = first + float(i);
        if (!wispDone && z > wisp.z) {
            // Thin blades hide the wisp only in part.
            col += (0.3 + 0.7 * trans) * glow;
            wispDone = true;
        }
        float X = (p.x / Focal) * z + hash(fi * 3.17) * 7.0;
        float Y = camH + ((p.y - horizon) / Focal) * z;
        float fog = max(1.0 - exp(-z * 0.13), smoothstep(8.0, 24.0, z));
        if (Y < 0.0) {
            // Between the nearest rows the ground itself shows: dark earth fading into the fog.
            vec3 g = baseCol * 0.18 +
                     wispCol * wispI * 0.03 /
                         (1.0 + dot(wisp - vec3(X, 0.0, z), wisp - vec3(X, 0.0, z)) * 3.0);
            col += trans * mix(g, fogCol * (0.45 + 0.45 * smoothstep(8.0, 50.0, z)), fog);
            trans = 0.0;
            break;
        }
        // Above every tip: nothing in this row; rising rows only climb higher.
        if (Y > 0.62) {
            if (p.y > horizon) break;
            z *= 1.16;
            continue;
        }
        float w = wind(vec2(X, z), t);
        // Each blade bends with the square of its height, all in the same wind field, so the
        // shear can be undone before picking the blade.
        float bend = (0.25 + 0.8 * windAmt) * (w + 0.3) * Y * Y;
        // Neighbouring blades lean their own ways: a short-period lean field on top of the wind.
        float Xs = X - bend - 0.08 * sin(X * 17.0 + fi * 1.7) * Y * Y;
        float cell = floor(Xs / cellW);
        float r1 = hash(cell + fi * 91.3);
        float r2b = hash(cell * 1.37 + fi * 17.1 + 5.0);
        // The nearest rows keep few tall blades, so the wisp and the sky show between them;
        // the rest stay short and carpet the ground.
        float tall = step(hash(cell * 0.73 + fi * 3.9 + 11.0), 0.25 + 0.1 * fi);
        float h = (0.14 + 0.34 * r2b * (0.6 + 0.8 * r1)) * (0.3 + 0.7 * tall);
        float xc = (cell + 0.2 + 0.6 * r1) * cellW;
        float v = Y / h;
        float width = bladeW * (0.6 + 0.6 * r1) * (0.3 + 0.7 * tall) *
                      sqrt(clamp((1.0 - v) * 2.5, 0.0, 1.0)) * (1.0 - 0.3 * v);
        float u = (Xs - xc) / max(width, 1e-4);
        float aa = pix * z / max(width, 1e-4);
        float cover = clamp((1.0 - abs(u)) / max(aa, 1e-3), 0.0, 1.0) * step(v, 1.0);
        if (cover > 0.001) {
            vec3 P = vec3(X, Y, z);
            vec3 L = wisp - P;
            float dl = length(L);
            L /= max(dl, 1e-3);
            // A folded blade: the normal turns across its width and tilts back with the bend.
            vec3 n = normalize(vec3(u * 0.8, 0.25 + 0.3 * w, -1.0 + 0.3 * abs(u)));
            float diff = max(dot(n, L), 0.0) * 0.8 + 0.2;
            float back = max(-dot(n, L), 0.0);
            float att = wispI / (1.0 + dl * dl * 1.6);
            vec3 tip = mix(tipCol, vec3(0.52, 0.40, 0.12), r1 * r1 * 0.7) * (0.65 + 0.7 * r2b);
            vec3 blade = mix(baseCol, tip, smoothstep(0.0, 0.9, v));
            vec3 c = blade * (skyLight * (0.35 + 0.65 * v) + 0.05) * (0.75 + 0.25 * (1.0 - u * u));
            c += blade * wispCol * att * (diff * 2.2 + back * 1.2);
            float mid = max(1.0 - abs(u), 0.0);
            mid *= mid;
            c += wispCol * att * 0.25 * mid * mid * v;
            c = mix(c, fogCol * (0.45 + 0.45 * smoothstep(8.0, 50.0, z)), fog);
            col += trans * cover * c;
            trans *= 1.0 - cover;
            if (trans < 0.02) break;
        }
        z *= 1.16;
    }
    // The clouds' two reads in a loop, which a block of pixels leaves after one read where its
    // 2 x 2 quads lie wholly under the horizon: llvmpipe runs code outside loops on every pixel.
    // The quad decides, so that a read's level of detail comes from the same neighbours as
    // before. The reads are counted in a float that the compiler cannot see is 1 a pass, and the
    // loop's bound is past what it unrolls: unrolled, the loop would be straight code again.
    float skyward = p.y > horizon ? 2.0 : 0.0;
    if (fwidth(skyward) > 0.0) skyward = 2.0;
    float one = step(-2.0, p.y);
    float slot = 0.0;
    vec4 cloudCoarse = vec4(0.0), cloudFine = vec4(0.0);
    for (int k = 0; k < 64; k++) {
        if (slot >= skyward) break;
        vec2 cq = cloudCoord(p, horizon, t, blue);
        vec4 n = texture2D(noiseMap, slot < 0.5 ? cq : cq * 2.7);
        if (slot < 0.5) cloudCoarse = n;
        else cloudFine = n;
        slot += one;
        if (slot >= skyward) break;
    }
    if (trans > 0.0) {
        if (!wispDone) col += (0.3 + 0.7 * trans) * glow;
        float fogG = max(1.0 - exp(-zGround * 0.13), smoothstep(8.0, 24.0, zGround));
        col += trans * (p.y > horizon
                            ? skyColour(p, horizon, t, blue, cloudCoarse.z, cloudFine.w)
                            : mix(baseCol * 0.18,
                                  fogCol * (0.45 + 0.45 * smoothstep(8.0, 50.0, zGround)), fogG));
    }
    // Haze lit by the wisp, in front of everything.
    col += halo + wispCol * wispI * (0.02 + 0.05 * glowKnob) / (1.0 + r2 * 6.0);

    // Fireflies drifting up through the meadow.
    vec2 fq = p * 7.0 + vec2(0.3 * t, -0.45 * t);
    vec2 fc = floor(fq);
    float fr = hash(fc.x * 37.1 + fc.y * 11.7);
    vec2 fo =
        fract(fq) - vec2(0.5) - 0.3 * vec2(sin(t * 1.3 + fr * 30.0), cos(t * 1.1 + fr * 20.0));
    float fly = step(0.86 - 0.1 * glowKnob, fr) * exp(-dot(fo, fo) * 600.0) *
                (0.5 + 0.5 * sin(t * 3.0 + fr * 60.0));
    col += vec3(1.0, 0.8, 0.4) * fly * 0.8;

    col *= bright * 1.3;
    // Soft shoulder: the post pass brightens the centre by 1.2.
    col = col / (1.0 + 0.35 * col);
    gl_FragColor = vec4(col, 1.0);
}
