#version 120
// The meadow seen from above, with waves of wind rolling across it (scene 4).
// Slots: 0 time, 1 brightness; knobs 4 wind, 5 hue, 6 wave length, 7 camera height.
uniform sampler2D noiseMap;
varying vec3 objectPosition;
varying mat4 parameters;

const float Focal = 1.6;
const int Rows = 16;
const float Spacing = 1.07;
const float TallestBlade = 0.6;

// Arithmetic hash: a sine per call would cost more than the rest of a row.
float hash(float n) {
    n = fract(n * 0.1031);
    n *= n + 33.33;
    n *= n + n;
    return fract(n);
}

// Gusts roll across the meadow as crested waves; the noise bends their fronts and varies their
// strength. x: the crest (0..1), y: the lee behind it, z: slow noise. n: the noise read at
// gustCoord(q, t).
vec2 gustCoord(vec2 q, float t) {
    return q * vec2(0.025, 0.018) + vec2(-0.015 * t, 0.004 * t);
}

vec3 gust(vec2 q, vec4 n, float t, float waveLen) {
    float phase = dot(q, vec2(0.85, -0.5)) / waveLen - 2.1 * t + 6.0 * n.x;
    float s = sin(phase);
    float strength = smoothstep(0.2, 0.7, n.y);
    float crest = pow(0.5 + 0.5 * s, 4.0) * strength;
    float lee = pow(max(cos(phase), 0.0), 2.0) * step(s, 0.3) * strength;
    return vec3(crest, lee, n.z);
}

// The clouds' coarse layer is read at cloudCoord(p, horizon, t), handed in as its .z, and their
// fine layer at 2.9 times that, handed in as its .w.
vec2 cloudCoord(vec2 p, float horizon, float t) {
    float h = p.y - horizon;
    return vec2(p.x / (h + 0.3), 1.0 / (h + 0.3)) * 0.07 + vec2(0.004 * t, 0.0);
}

vec3 sky(vec2 p, float horizon, float t, float coarse, float fine) {
    float h = p.y - horizon;
    vec3 c = mix(vec3(0.44, 0.23, 0.20), vec3(0.15, 0.11, 0.29), smoothstep(0.0, 0.2, h));
    c = mix(c, vec3(0.03, 0.03, 0.10), smoothstep(0.15, 0.6, h));
    c += vec3(0.30, 0.13, 0.03) * exp(-max(h, 0.0) * 18.0) * smoothstep(1.8, -1.4, p.x);
    float cl = smoothstep(0.5, 0.85, coarse * 0.7 + fine * 0.3);
    c = mix(c, vec3(0.32, 0.18, 0.25) * (1.0 - 0.6 * smoothstep(0.05, 0.4, h)),
            cl * 0.5 * smoothstep(0.0, 0.1, h));
    vec2 sq = floor(p * 100.0);
    float s = hash(sq.x * 131.7 + sq.y * 7.31);
    vec2 sf = fract(p * 100.0) - 0.5;
    c += vec3(0.7, 0.75, 1.0) * step(0.993, s) * smoothstep(0.3, 0.0, length(sf)) *
         smoothstep(0.1, 0.3, h) * (1.0 - cl);
    return c;
}

// The wisp skims the meadow in long arcs ahead of the camera.
vec3 wispAt(float t) {
    return vec3(1.5 * sin(t * 0.45 - 0.9) + 0.3 * sin(t * 1.2), 0.8 + 0.15 * sin(t * 1.4),
                4.2 + 1.2 * sin(t * 0.3 + 0.4));
}

vec2 project(vec3 q, float camH, float horizon) {
    return vec2(q.x, q.y - camH) * Focal / max(q.z, 0.1) + vec2(0.0, horizon);
}

void main(void) {
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float t = parameters[0][0];
    float bright = clamp(parameters[0][1], 0.0, 2.0);
    float windAmt = clamp(parameters[1][0], 0.0, 1.0);
    float hue = clamp(parameters[1][1], 0.0, 1.0);
    float waveLen = mix(0.8, 5.0, clamp(parameters[1][2], 0.0, 1.0));
    float camKnob = clamp(parameters[1][3], 0.0, 1.0);

    // High over the meadow and slowly rising; the lens is shifted down rather than the camera
    // tilted, so the blades stay upright in the frame.
    float camH = mix(1.5, 2.7, camKnob) + 0.03 * t;
    float horizon = 0.56 + 0.12 * camKnob;

    vec3 wisp = wispAt(t);
    float wispI = 1.7 * (0.9 + 0.1 * sin(t * 17.0));
    vec3 wispCol = vec3(1.0, 0.72, 0.36);

    float hs = (hue - 0.4) * 1.6;
    vec3 tipCol = vec3(0.46 + 0.2 * hs, 0.54 - 0.05 * hs, 0.15 - 0.05 * hs);
    vec3 deepCol = vec3(0.04, 0.06, 0.035);
    vec3 skyLight = vec3(0.40, 0.36, 0.62);
    // The sky right at the horizon, without clouds or stars.
    vec3 horizonCol = vec3(0.44, 0.23, 0.20) + vec3(0.30, 0.13, 0.03) * smoothstep(1.8, -1.4, p.x);
    vec3 fogCol = mix(horizonCol, vec3(0.13, 0.11, 0.26), 0.45) * 0.75;
    float pix = 2.0 / 512.0 / Focal;
    float cellW = 0.05;
    float bladeW = cellW * 0.26;

    vec3 col = vec3(0.0);
    float trans = 1.0;
    float below = horizon - p.y;
    float zGround = camH * Focal / below;
    vec2 groundXZ = vec2(p.x / Focal * zGround, zGround);
    // The meadow's pixels read the gusts and the sky's the clouds, in one read: llvmpipe pays for
    // every read on every pixel. Where a 2 x 2 quad straddles the horizon the read's level of
    // detail is the coarsest, as the gusts' already is there, and the clouds are faded out.
    vec4 noiseHere =
        texture2D(noiseMap, below > 0.0 ? gustCoord(groundXZ, t) : cloudCoord(p, horizon, t));
    // The clouds' fine layer and the hills and trees are read in a loop, which a block of pixels
    // leaves after one read where its 2 x 2 quads need none of them (the meadow under the trees)
    // or only the clouds (the sky over them): llvmpipe runs code outside loops on every pixel. The
    // quad decides, so that a read's level of detail comes from the same neighbours as before.
    // The reads are counted in a float that the compiler cannot see is 1 a pass, and the loop's
    // bound is past what it unrolls: unrolled, the loop would be straight code again.
    float above = p.y - horizon;
    float reads = above < -0.031 ? 0.0 : (above > 0.111 ? 1.0 : 4.0);
    if (fwidth(reads) > 0.0) reads = 4.0;
    float one = step(-2.0, p.y);
    float slot = 0.0;
    vec4 cloudFine = vec4(0.0), hillN = vec4(0.0), treesA = vec4(0.0), treesB = vec4(0.0);
    for (int k = 0; k < 64; k++) {
        if (slot >= reads) break;
        vec2 q = slot < 0.5   ? cloudCoord(p, horizon, t) * 2.9
                 : slot < 1.5 ? vec2(p.x * 0.09 + 0.3, 0.2)
                 : slot < 2.5 ? vec2(p.x * 0.8, 0.6)
                              : vec2(p.x * 3.1, 0.1);
        vec4 n = texture2D(noiseMap, q);
        if (slot < 0.5) cloudFine = n;
        else if (slot < 1.5) hillN = n;
        else if (slot < 2.5) treesA = n;
        else treesB = n;
        slot += one;
        if (slot >= reads) break;
    }
    if (below > 0.0) {
        // Only the rows between the first tip this ray can meet and the ground matter.
        float zTop = max((camH - TallestBlade) * Focal / below, 0.3);
        float first = floor(log(zTop / 0.3) / log(Spacing));
        float z = 0.3 * pow(Spacing, first);
        vec3 g = gust(groundXZ, noiseHere, t, waveLen);
        float sheenAmt = 0.5 + 0.9 * windAmt;
        float lean = (0.15 + 0.6 * windAmt) * (g.x * 1.3 + g.z - 0.35);
        for (int i = 0; i < Rows; i++) {
            float fi = first + float(i);
            float Xw = p.x / Focal * z;
            float Y = camH - below / Focal * z;
            if (Y < 0.0) break;
            float X = Xw + hash(fi * 3.17) * 7.0 - lean * Y * Y;
            float cell = floor(X / cellW);
            float r1 = hash(cell + fi * 91.3);
            float r2 = hash(cell * 1.37 + fi * 17.1 + 5.0);
            float h = (0.25 + 0.35 * r2 * (0.6 + 0.8 * r1)) * (1.0 - 0.3 * g.x * windAmt);
            float v = Y / h;
            float xc = (cell + 0.2 + 0.6 * r1) * cellW;
            float width = bladeW * (0.6 + 0.6 * r1) * sqrt(clamp((1.0 - v) * 2.5, 0.0, 1.0));
            float u = (X - xc) / max(width, 1e-4);
            float aa = pix * z / max(width, 1e-4);
            float cover = clamp((1.0 - abs(u)) / max(aa, 1e-3), 0.0, 1.0) * step(v, 1.0);
            if (cover > 0.001) {
                vec3 P = vec3(Xw, Y, z);
                vec3 L = wisp - P;
                float dl = length(L);
                L /= max(dl, 1e-3);
                vec3 n = normalize(vec3(u * 0.8, 0.5, -1.0 + 0.3 * abs(u)));
                float diff = max(dot(n, L), 0.0) * 0.8 + 0.2;
                float att = wispI / (1.0 + dl * dl * 0.9);
                vec3 tip = mix(tipCol, vec3(0.55, 0.42, 0.13), r1 * r1 * 0.7) * (0.65 + 0.7 * r2);
                vec3 blade = mix(deepCol, tip, smoothstep(0.0, 0.9, v));
                vec3 c =
                    blade * (skyLight * (0.4 + 0.7 * v) + 0.05) * (0.75 + 0.25 * (1.0 - u * u));
                // Bent over by a gust, the blades turn their paler backs to the sky; behind each
                // crest the lee lies in shadow. The waves read as sheen rolling over the meadow.
                c += vec3(0.42, 0.40, 0.24) * g.x * sheenAmt * v * v * (0.6 + 0.4 * r2);
                c *= 1.0 - 0.5 * g.y * sheenAmt;
                c += blade * wispCol * att * diff * 2.0;
                float fog = 1.0 - exp(-z * 0.035);
                // Far off the single blades vanish but the gusts still show as travelling light.
                c = mix(c, fogCol * (1.0 + 0.8 * g.x * sheenAmt - 0.3 * g.y), fog);
                col += trans * cover * c;
                trans *= 1.0 - cover;
                if (trans < 0.03) break;
            }
            z *= Spacing;
        }
        if (trans > 0.0) {
            // The thatch at the foot of the blades.
            vec3 P = vec3(groundXZ.x, 0.0, zGround);
            float dl = length(wisp - P);
            vec3 c = deepCol * (1.0 + 0.6 * g.x) +
                     tipCol * wispCol * wispI * 0.15 / (1.0 + dl * dl * 0.9);
            col += trans * mix(c, fogCol, 1.0 - exp(-zGround * 0.035));
        }
        col = mix(col, horizonCol * 0.8, smoothstep(-0.06, 0.0, -below));
    } else {
        col = sky(p, horizon, t, noiseHere.z, cloudFine.w);
    }

    // Low hills and a treeline against the last light: at most 0.107 high, and nothing further
    // than 0.03 under the horizon, so the pixels that skip these reads have no ridge.
    float hill = 0.005 + 0.07 * smoothstep(0.3, 0.8, hillN.x);
    float trees = hill + 0.02 * treesA.y + 0.012 * treesB.z;
    float ridge = smoothstep(0.003, -0.003, p.y - horizon - trees) * step(-0.03, p.y - horizon);
    col = mix(col, horizonCol * 0.22 + vec3(0.01, 0.01, 0.025), ridge);

    // The wisp and its wake: sparks laid back along its heading.
    vec2 head = project(wisp, camH, horizon);
    vec2 back = project(wispAt(t - 0.3), camH, horizon) - head;
    vec2 dw = p - head;
    float r2 = dot(dw, dw);
    col += wispCol * wispI *
           (0.9 * exp(-r2 * 900.0) + 0.2 * exp(-r2 * 50.0) + 0.07 / (1.0 + r2 * 25.0));
    col += vec3(1.0, 0.95, 0.85) * wispI * exp(-r2 * 6000.0);
    // Each spark is a few thousandths wide: 0.1 outside the box of their centres a pixel gets
    // under 1e-12 of light from all eight, so it leaves the loop at once, and a block of pixels
    // that lies wholly outside pays for none of them (llvmpipe runs a loop until its last lane
    // leaves). Counted in a float that the compiler cannot see is 1 a pass, past the bound it
    // unrolls: unrolled, the loop would be straight code that every pixel runs.
    vec2 nearest = min(back / 3.0, back * (8.0 / 3.0)) + vec2(0.0, 0.003) - 0.1;
    vec2 furthest = max(back / 3.0, back * (8.0 / 3.0)) + vec2(0.0, 0.192) + 0.1;
    bool nearWake = all(greaterThan(dw, nearest)) && all(lessThan(dw, furthest));
    float fk = 0.0;
    for (int k = 0; k < 64; k++) {
        fk += step(-2.0, p.y);
        if (!nearWake || fk > 8.5) break;
        vec2 d = dw - back * (fk / 3.0) - vec2(0.0, 0.003 * fk * fk);
        float flick = abs(fract(fk * 0.618 + t * 4.6) * 2.0 - 1.0);
        col += vec3(1.0, 0.78, 0.45) * wispI * flick * (1.0 - fk / 9.0) * 0.5 *
               exp(-dot(d, d) * (3000.0 + 300.0 * fk));
    }

    col *= bright * 1.3;
    col = col / (1.0 + 0.35 * col);
    gl_FragColor = vec4(col, 1.0);
}
