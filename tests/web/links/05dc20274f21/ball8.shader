#version 120
// The orb (scenes 7 and 8): a raymarched body of glass and light that gathers out of a swirl,
// morphs, shatters and pulses with the music.
// Slots: 0 time, 1 intensity, 2 shape (-1.5..4), 3 emergence, 4 slow envelope, 5 shatter,
// 8 hue, 9 emission, 10 rim, 11 core size, 13 lattice mode, 14 camera orbit, 15 spin.
uniform sampler2D noiseMap;
varying vec3 objectPosition;
varying mat4 parameters;

const float Pi = 3.14159265;
const float Beat = 0.46875;
const int Steps = 56;

float morph = 0.0;
float shatter = 0.0;
float lattice = 0.0;
float energy = 0.0;
float outro = 0.0;
float time = 0.0;
float shardDist = 0.0;
mat3 spin = mat3(1.0);

// Per-frame values the distance function reads. Every branch of a fragment shader costs its full
// price on llvmpipe whether taken or not, so the shapes are blended by weights worked out once
// per pixel instead of being picked by ifs.
vec3 blobCentre[4];
float waveFreq = 4.0;
vec3 wavePhase = vec3(0.0);
vec2 ringTurn = vec2(0.0);
float rippleAmp = 0.0;
float wBlob = 0.0;
float wSphere = 0.0;
float wRipple = 0.0;
float wCrystal = 0.0;
float wRing = 0.0;
float wCage = 0.0;
float cutOn = 0.0;

float hash(vec2 c) {
    vec3 p = fract(vec3(c.xyx) * 0.1031);
    p += dot(p, p.yzx + 33.33);
    return fract((p.x + p.y) * p.z);
}

// Amber at 0, cyan at one half, violet at 1: the demo's three lights.
vec3 palette(float h) {
    h = fract(h);
    vec3 amber = vec3(1.0, 0.58, 0.22);
    vec3 cyan = vec3(0.30, 0.85, 1.0);
    vec3 violet = vec3(0.62, 0.36, 1.0);
    vec3 upper = mix(cyan, mix(violet, amber, smoothstep(0.75, 1.0, h)), smoothstep(0.5, 0.75, h));
    return mix(mix(amber, cyan, smoothstep(0.0, 0.5, h)), upper, step(0.5, h));
}

// sin(x) to within 4e-6 in about a dozen operations, fewer than llvmpipe's own: a triangle wave
// of the right phase bent into a sine by an odd polynomial (Taylor, to z^9). Only the components
// used are computed.
vec4 sine(vec4 x) {
    vec4 z = 1.0 - abs(4.0 * fract(x * 0.15915494 + 0.25) - 2.0);
    vec4 z2 = z * z;
    return z *
           (1.5707963 + z2 * (-0.6459641 + z2 * (0.0796926 + z2 * (-0.0046817 + z2 * 0.0001604))));
}

// (cos a, sin a).
vec2 cosSin(float a) {
    return sine(vec4(a + 0.5 * Pi, a, 0.0, 0.0)).xy;
}

mat3 rotY(float a) {
    vec2 cs = cosSin(a);
    return mat3(cs.x, 0.0, -cs.y, 0.0, 1.0, 0.0, cs.y, 0.0, cs.x);
}

mat3 rotX(float a) {
    vec2 cs = cosSin(a);
    return mat3(1.0, 0.0, 0.0, 0.0, cs.x, cs.y, 0.0, -cs.y, cs.x);
}

float smin(float a, float b, float k) {
    float h = clamp(0.5 + 0.5 * (b - a) / k, 0.0, 1.0);
    return mix(b, a, h) - k * h * (1.0 - h);
}

// The shapes along the morph, one per whole step of slot 2: -1 droplets of unformed light
// merging, 0 a sphere, 1 a living surface of standing waves, 2 a cut gem, 3 a ring with a wave
// running round it, 4 a sphere hollowed into a cage.
float shape(vec3 q) {
    const float phi = 1.618034;
    float len = length(q);

    float db = len - 0.5;
    for (int i = 0; i < 4; i++) db = smin(db, length(q - blobCentre[i]) - 0.32, 0.35);

    // The ripple's sines, or the cage's cosines: the two never show at once (see main).
    vec3 sw = sine(vec4(waveFreq * q + wavePhase, 0.0)).xyz;
    float dr = (len - 0.92 - rippleAmp * sw.x * sw.y * sw.z) * 0.75;

    vec3 a = abs(q);
    float facets =
        max(max(dot(a, vec3(0.0, 0.525731, 0.850651)), dot(a, vec3(0.525731, 0.850651, 0.0))),
            dot(a, vec3(0.850651, 0.0, 0.525731)));
    float dc = max(facets - 0.82, len - 1.02);

    // sin 3x from sin x, so the ring needs no atan.
    vec2 xz = vec2(ringTurn.x * q.x - ringTurn.y * q.z, ringTurn.y * q.x + ringTurn.x * q.z);
    float rho = length(xz);
    float sn = xz.y / max(rho, 1e-4);
    float dg = (length(vec2(rho - 0.78, q.y - 0.22 * (3.0 * sn - 4.0 * sn * sn * sn))) - 0.3) * 0.8;

    float dy = max(len - 1.0, (abs(sw.x + sw.y + sw.z) - 0.7) * 0.11);

    return wBlob * db + wSphere * (len - 0.95) + wRipple * dr + wCrystal * dc + wRing * dg +
           wCage * dy;
}

// The wire lattice: the shape's skin kept along nine great circles, those of the three axes and
// the six of a dodecahedron's faces; they turn with the spin.
float wires(vec3 q, float d) {
    const float phi = 1.618034;
    vec3 a = abs(q);
    float golden =
        min(min(abs(a.y - phi * a.z), abs(a.x - phi * a.y)), abs(phi * a.x - a.z)) * 0.525731;
    float lines = min(golden, min(min(a.x, a.y), a.z));
    return max(abs(d) - 0.025, lines - 0.02);
}

// Object space (unit size). With shatter the body splits into its eight octants, each pushed
// outward; a step never crosses an octant boundary, so no shard is stepped over.
float body(vec3 q) {
    vec3 s = step(0.0, q) * 2.0 - 1.0;
    vec3 l = q - s * (shatter * 0.35);
    float d = shape(l);
    d = max(d, max(max(-s.x * l.x, -s.y * l.y), -s.z * l.z) - 1e3 * (1.0 - cutOn));
    d = mix(d, wires(l, d), lattice);
    shardDist = d;
    vec3 a = abs(q);
    return min(d, min(min(a.x, a.y), a.z) + 0.04 + 1e3 * (1.0 - cutOn));
}

// The sky as the glass reflects and bends it, from one texture read (its x and z) at
// mirrorAt(d, t) instead of two.
vec2 mirrorAt(vec3 d, float t) {
    return (d.xy + d.z * vec2(0.7, 0.3)) * 0.3 + vec2(0.01 * t, 0.0);
}

vec3 mirrored(vec3 d, vec2 n) {
    vec3 c = mix(vec3(0.015, 0.012, 0.04), vec3(0.05, 0.035, 0.11), 0.5 + 0.5 * d.y);
    c += smoothstep(0.45, 0.85, n.x) * mix(vec3(0.16, 0.07, 0.30), vec3(0.05, 0.20, 0.30), n.y);
    return c;
}

vec3 background(vec3 d, float t) {
    vec3 c = mix(vec3(0.015, 0.012, 0.04), vec3(0.05, 0.035, 0.11), 0.5 + 0.5 * d.y);
    // Two plane projections blended by direction: no seam anywhere on the sphere of directions.
    vec2 uv1 = d.xy * 0.35 + vec2(0.01 * t, 0.0);
    vec2 uv2 = d.zy * 0.35 + vec2(0.4, 0.01 * t);
    float w = abs(d.z) / (abs(d.x) + abs(d.z) + 1e-4);
    vec4 n = mix(texture2D(noiseMap, uv2), texture2D(noiseMap, uv1), w);
    float neb = smoothstep(0.45, 0.85, n.x) * (0.6 + 0.4 * n.y);
    c += neb * mix(vec3(0.16, 0.07, 0.30), vec3(0.05, 0.20, 0.30), n.z) * 1.2;
    c += smoothstep(0.7, 0.95, n.w) * vec3(0.22, 0.10, 0.04) * 0.5;
    return c;
}

void main(void) {
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float t = parameters[0][0];
    float intensity = clamp(parameters[0][1], 0.0, 2.0);
    morph = clamp(parameters[0][2], -1.5, 4.0);
    float emergence = clamp(parameters[0][3], 0.0, 3.0);
    energy = clamp(parameters[1][0], 0.0, 2.0);
    shatter = clamp(parameters[1][1], 0.0, 1.0);
    float hue = clamp(parameters[2][0], -0.3, 1.0);
    float emission = clamp(parameters[2][1], -0.3, 1.0);
    float rimAmt = clamp(parameters[2][2], -0.3, 1.0);
    float coreAmt = clamp(parameters[2][3], -0.3, 1.0);
    lattice = clamp(parameters[3][1], 0.0, 1.0);
    float orbit = parameters[3][2];
    float spinAngle = parameters[3][3];
    time = t;
    lattice = step(0.5, lattice);
    cutOn = step(0.001, shatter);

    // Kicks on every beat of the climax; the build-up and the fade stay smooth.
    float beatPhase = fract(max(t, 0.0) / Beat);
    float beatAmt = smoothstep(0.9, 1.05, intensity) * smoothstep(-1.0, -0.6, morph);
    float kick = exp(-beatPhase * 7.0) * beatAmt;

    // Shape weights and the per-frame parts of the distance function.
    float mw = clamp(morph, -1.0, 4.0);
    wBlob = clamp(-mw, 0.0, 1.0);
    wSphere = clamp(1.0 - abs(mw), 0.0, 1.0);
    wRipple = clamp(1.0 - abs(mw - 1.0), 0.0, 1.0);
    wCrystal = clamp(1.0 - abs(mw - 2.0), 0.0, 1.0);
    wRing = clamp(1.0 - abs(mw - 3.0), 0.0, 1.0);
    wCage = clamp(mw - 3.0, 0.0, 1.0);
    rippleAmp = 0.12 + 0.05 * energy;
    // The ripple (morph 0 to 2) and the cage (over 3) never share a frame, so one sine a tap
    // serves both: the cage's cosine is a sine a quarter turn on.
    bool cageWave = mw > 3.0;
    waveFreq = cageWave ? 5.5 : 4.0;
    wavePhase = cageWave ? vec3(0.5 * Pi) : vec3(1.1, 1.4, 0.9) * t;
    ringTurn = cosSin(t / 3.0);

    // The last stretch holds the shape at exactly -1 with no emergence while the intensity falls:
    // the orb comes apart into droplets and its light goes down with the music.
    outro = abs(morph + 1.0) < 0.001 && emergence < 0.001 ? 1.0 - smoothstep(0.6, 1.45, intensity)
                                                          : 0.0;
    float presence = smoothstep(0.0, 0.35, intensity) * (1.0 - 0.75 * outro);
    float spread = 0.55 + 0.35 * clamp(-morph - 1.0, 0.0, 0.5) + 0.5 * outro;
    // The droplets' angles step by the same amount from one to the next, so each one's cosine
    // and sine come from the last by a rotation: four trig calls for the four instead of twelve.
    vec2 ca = cosSin(t * 0.7);
    vec2 cb = cosSin(t * 0.91);
    float stepA = t * 0.23 + 1.7;
    float stepB = stepA * 1.3 + 1.0;
    vec2 csA = cosSin(stepA);
    vec2 csB = cosSin(stepB);
    mat2 turnA = mat2(csA.x, csA.y, -csA.y, csA.x);
    mat2 turnB = mat2(csB.x, csB.y, -csB.y, csB.x);
    for (int i = 0; i < 4; i++) {
        blobCentre[i] = spread * vec3(ca.x, cb.y * 0.7, ca.y);
        ca = turnA * ca;
        cb = turnB * cb;
    }
    float radius =
        mix(0.25, 1.0, smoothstep(0.0, 0.9, intensity)) * (1.0 + 0.04 * kick) * (1.0 - 0.3 * outro);
    vec3 core = palette(hue);
    vec3 accent = palette(hue + 0.5);

    // Camera on an orbit around the orb, a little above it.
    vec3 ro = rotY(orbit) * vec3(0.0, 1.0, 4.2);
    vec3 fw = normalize(-ro);
    vec3 rt = normalize(cross(vec3(0.0, 1.0, 0.0), fw));
    vec3 up = cross(fw, rt);
    vec3 rd = normalize(rt * p.x + up * p.y + fw * 2.3);
    spin = rotX(0.45 * spinAngle + 0.3) * rotY(spinAngle);

    vec3 col = background(rd, t);
    // Stars, sparse and still.
    vec2 sq = floor(p * 110.0);
    float st = hash(sq);
    col += vec3(0.75, 0.8, 1.0) * step(0.994, st) *
           smoothstep(0.35, 0.0, length(fract(p * 110.0) - 0.5)) *
           (0.5 + 0.5 * sine(vec4(t * 2.0 + st * 50.0)).x);

    float r = length(p);
    // The angle in turns, taken from whichever of two cuts lies away from this pixel, so the
    // texture's derivatives never see the jump.
    float a1 = atan(p.y, p.x) / (2.0 * Pi);
    float a2 = atan(-p.y, -p.x) / (2.0 * Pi) + 0.5;
    float turn = fwidth(a1) < fwidth(a2) ? a1 : a2 - 1.0;
    float gather = clamp(emergence / 2.5, 0.0, 1.0);

    // The march comes first: the texture reads below depend on where it hit.
    float tHit = 1e9;
    float glow = 0.0;
    float hitMask = 0.0;
    float tt = 0.0;
    float d = 1.0;
    vec3 q = vec3(0.0);
    vec3 grad = vec3(0.0);
    if (presence > 0.001) {
        // Only rays that pass through the bounding sphere march.
        float bound = radius * (1.4 + 0.5 * shatter);
        float b = dot(ro, rd);
        float c = dot(ro, ro) - bound * bound;
        float disc = b * b - c;
        if (disc > 0.0) {
            tt = max(-b - sqrt(disc), 0.0);
            float tEnd = -b + sqrt(disc);
            // One loop marches and then takes the normal's four taps around the hit (-1 while
            // marching, then the tap's number). A block runs until its slowest pixel is done, so
            // a pixel that hits early takes its taps while the others still march, and a block
            // where nothing hits pays for no tap at all.
            float tap = -1.0;
            for (int i = 0; i < Steps + 4; i++) {
                vec3 e = tap < 0.5   ? vec3(0.003, -0.003, -0.003)
                         : tap < 1.5 ? vec3(-0.003, -0.003, 0.003)
                         : tap < 2.5 ? vec3(-0.003, 0.003, -0.003)
                                     : vec3(0.003);
                bool marching = tap < 0.0;
                vec3 at = spin * (ro + rd * tt) / radius;
                float v = body(marching ? at : q + e);
                if (marching) {
                    d = v * radius;
                    glow += exp(-max(shardDist, 0.0) * 9.0) * 0.02;
                    if (d < 0.002) {
                        q = at;
                        tap = 0.0;
                    } else if (tt > tEnd || i >= Steps - 1) {
                        break;
                    } else {
                        tt += d;
                    }
                } else {
                    grad += e * v;
                    tap += 1.0;
                    if (tap > 3.5) break;
                }
            }
            hitMask = d < 0.002 ? 1.0 : 0.0;
            tHit = d < 0.002 ? tt : 1e9;
        }
    }
    // What the hit's shading reads: where the field is flat (between shards) the gradient can
    // vanish; the spin is a rotation, its transpose takes the normal back to world space.
    vec3 hp = ro + rd * tt;
    vec3 n = grad / max(length(grad), 1e-6) * spin;
    vec3 rf = reflect(rd, n);
    vec3 dg = refract(rd, n, 1.0 / 1.40);
    // Veins: ridges of the noise at two scales make thin forking cracks that ride the spin.
    vec2 vq = q.xy * 0.22 + q.z * 0.13 + vec2(0.015 * t, 0.0);
    // The ring of light's plane, turning with the spin.
    float ringAmt = smoothstep(0.3, 0.8, rimAmt) * presence;
    vec3 nr =
        normalize(vec3(0.45 * cosSin(spinAngle * 0.5).y, 1.0, 0.35 * cosSin(spinAngle * 0.3).x));
    float den = dot(rd, nr);
    float tr = -dot(ro, nr) / den;
    vec3 rp = ro + rd * tr;
    float lr = log(max(r, 0.02));
    vec2 au = vec2(turn * 3.0 + lr * 0.9 - t * 0.12, lr * 0.5 - t * 0.25);

    // Every texture read but the sky's, in one loop: the fan's always; the swirl's two and the
    // ring's only on frames that show them; the hit's four (its reflection, what lies behind, two
    // of the veins) last, so a block of pixels none of which hit leaves before them. Which read
    // a turn makes depends on the turn and the frame alone, never on the pixel, so the four
    // pixels of a quad read side by side and the texture's derivatives are those of one read.
    float swirlReads = gather > 0.001 ? 2.0 : 0.0;
    float ringReads = ringAmt > 0.001 ? 1.0 : 0.0;
    float reads = 1.0 + swirlReads + ringReads + 4.0 * hitMask;
    float fan = 0.0;
    float armsA = 0.0;
    float armsB = 0.0;
    float sparkleN = 0.0;
    vec2 envN = vec2(0.0);
    vec2 behindN = vec2(0.0);
    float v1 = 0.0;
    float v2 = 0.0;
    for (int k = 0; k < 64; k++) {
        // The read's number: 0 fan, 1 and 2 swirl, 3 ring, 4 to 7 the hit's.
        float j = float(k);
        j += step(1.0, j) * (2.0 - swirlReads);
        j += step(3.0, j) * (1.0 - ringReads);
        vec2 uv = j < 0.5   ? vec2(turn * 4.0, 0.03 * t)
                  : j < 1.5 ? au
                  : j < 2.5 ? au * vec2(2.0, 3.0) + 0.37
                  : j < 3.5 ? rp.xz * 0.6 + vec2(0.05 * t, 0.0)
                  : j < 4.5 ? mirrorAt(rf, t)
                  : j < 5.5 ? mirrorAt(dg, t)
                  : j < 6.5 ? vq
                            : vq * 2.3 + 0.41;
        vec4 tx = texture2D(noiseMap, uv);
        fan = j < 0.5 ? tx.y : fan;
        armsA = abs(j - 1.0) < 0.5 ? tx.x : armsA;
        armsB = abs(j - 2.0) < 0.5 ? tx.y : armsB;
        sparkleN = abs(j - 3.0) < 0.5 ? tx.x : sparkleN;
        envN = abs(j - 4.0) < 0.5 ? tx.xz : envN;
        behindN = abs(j - 5.0) < 0.5 ? tx.xz : behindN;
        v1 = abs(j - 6.0) < 0.5 ? tx.x : v1;
        v2 = j > 6.5 ? tx.y : v2;
        if (float(k) >= reads - 1.5) break;
    }

    // The gathering: streams of light spiralling in along a vortex while the emergence lasts.
    if (gather > 0.001) {
        float vis = sqrt(gather);
        // The gathering energy lights the haze around it.
        col = col * (1.0 + 2.5 * gather) +
              mix(vec3(0.16, 0.07, 0.24), vec3(0.42, 0.2, 0.1), exp(-r * 1.2)) * gather * 0.55;
        float swirlR = 0.3 + 0.9 * gather;
        vec2 sp = vec2(turn * 9.0 + lr * 1.6 - t * 0.25, lr * 3.0 + t * 1.4);
        vec2 cell = floor(sp);
        vec2 f = fract(sp) - 0.5;
        float hsh = hash(vec2(mod(cell.x, 9.0), cell.y));
        float mote = step(0.5, hsh) * exp(-dot(f, f) * 40.0 / (0.2 + r)) *
                     (0.6 + 0.4 * sine(vec4(t * 5.0 + hsh * 40.0)).x);
        float arms = armsA * 0.7 + armsB * 0.3;
        float bandR = max(r - 0.05, 0.0) / swirlR;
        float band = exp(-bandR * bandR * 2.0);
        float streams = smoothstep(0.45, 0.75, arms);
        vec3 sw = mix(vec3(1.0, 0.68, 0.32), vec3(0.45, 0.85, 1.0), step(0.8, hsh)) * mote * 1.6 *
                      smoothstep(0.08, 0.3, r) +
                  mix(vec3(0.30, 0.16, 0.55), vec3(1.0, 0.55, 0.22), streams) * streams * 1.3;
        col += sw * band * vis + vec3(0.22, 0.12, 0.3) * band * vis * 0.5;
        col += vec3(1.0, 0.72, 0.4) * gather * (0.1 + 0.3 * gather) * exp(-r * r * 10.0);
        // Once the orb is lit the swirl collapses into it, throwing off a ring of light.
        if (intensity > 0.0) {
            float wave = 0.25 + 1.4 * (1.0 - gather);
            float dw = (r - wave) / (0.04 + 0.08 * (1.0 - gather));
            col += mix(vec3(1.0, 0.7, 0.35), vec3(0.5, 0.85, 1.0), 0.15) * exp(-dw * dw) * gather *
                   (1.0 - gather) * 5.0 * presence;
        }
    }

    // Rays of light fanning out from the orb.
    col += core * presence * (0.05 + 0.1 * energy + 0.25 * kick) * smoothstep(0.45, 0.8, fan) *
           exp(-r * 1.6) * smoothstep(0.2 * radius, 0.6 * radius, r);

    vec3 objCol = vec3(0.0);
    if (presence > 0.001) {
        if (hitMask > 0.5) {
                float cosT = clamp(dot(n, -rd), 0.0, 1.0);
                // Whole powers by multiplying: pow is an exp and a log a pixel on llvmpipe.
                float fres = (1.0 - cosT) * (1.0 - cosT) * (1.0 - cosT);

                // Reflection: the nebula and a soft overhead light.
                vec3 env = mirrored(rf, envN) * 1.5 +
                           vec3(0.9, 0.85, 1.0) * smoothstep(0.55, 0.95, rf.y) * 0.35;
                // Two soft strip lights for the glass to catch.
                env += vec3(0.8, 0.85, 1.0) * smoothstep(0.08, 0.0, abs(rf.y - 0.25)) *
                       smoothstep(0.2, 0.7, rf.x) * 0.5;
                env += accent * smoothstep(0.1, 0.0, abs(rf.x + 0.55)) *
                       smoothstep(-0.2, 0.4, rf.y) * 0.35;
                env += accent * smoothstep(0.6, 0.95, -rf.y) * 0.15;

                // Refraction, one index per channel: the core seen through the glass splits
                // into coloured fringes.
                float coreSize = 0.22 + 0.3 * clamp(coreAmt + 0.3, 0.0, 1.3);
                vec3 hc = hp / radius;
                vec3 inner;
                vec3 dr = refract(rd, n, 1.0 / 1.33);
                vec3 db = refract(rd, n, 1.0 / 1.47);
                // Squared distances of the bent rays from the centre.
                vec3 m2 = vec3(dot(cross(hc, dr), cross(hc, dr)), dot(cross(hc, dg), cross(hc, dg)),
                               dot(cross(hc, db), cross(hc, db)));
                inner = exp(-m2 / (coreSize * coreSize));
                inner *= core * (1.15 + 0.9 * kick);
                // What lies behind, bent, tinted by the glass and the depth it crossed.
                float thick = clamp(-2.0 * dot(hc, dg), 0.0, 2.0);
                vec3 behind = mirrored(dg, behindN) * mix(vec3(1.0), core, 0.5) * 1.4;
                inner += behind + core * thick * 0.35 + accent * 0.06;

                // Veins of light running through the skin.
                float ridge1 = 1.0 - abs(2.0 * v1 - 1.0);
                float ridge2 = 1.0 - abs(2.0 * v2 - 1.0);
                float v1p2 = ridge1 * ridge1;
                float v1p4 = v1p2 * v1p2;
                float v2p2 = ridge2 * ridge2;
                float v2p8 = v2p2 * v2p2 * v2p2 * v2p2;
                float veins = (v1p4 * v1p4 * v1p4 * v1p2 + 0.6 * v2p8 * v2p2 * ridge1) *
                              (0.1 + 1.2 * clamp(emission, 0.0, 1.0));
                vec3 skin = core * veins * (1.0 + kick) +
                            core * clamp(emission, 0.0, 1.0) * 0.35 * (1.0 - fres);

                // The cut faces of the shards glow from inside.
                float cut = 0.0;
                if (shatter > 0.001) {
                    vec3 a = abs(q - (step(0.0, q) * 2.0 - 1.0) * shatter * 0.35);
                    cut = smoothstep(0.03, 0.0, min(min(a.x, a.y), a.z));
                }

                float rimW = 0.6 + 0.8 * clamp(rimAmt + 0.3, 0.0, 1.3);
                objCol = mix(inner, env, clamp(0.08 + fres, 0.0, 1.0));
                objCol += accent * fres * rimW * 0.8;
                // A thin-film sheen that shifts colour with the viewing angle.
                objCol += palette(cosT * 1.3 + 0.1 * t + hue) * fres * 0.35 *
                          clamp(rimAmt + 0.3, 0.0, 1.3);
                objCol += skin + core * cut * 1.5;
                // A key light's highlight.
                vec3 key = normalize(vec3(0.5, 0.8, 0.3));
                float k1 = max(dot(rf, key), 0.0);
                float k2 = k1 * k1;
                float k5 = k2 * k2 * k1;
                float k10 = k5 * k5;
                float k20 = k10 * k10;
                objCol += vec3(1.0, 0.95, 0.9) * (k20 * k20) * 0.9;
                // And a coloured light from behind that outlines the far edge.
                vec3 back = normalize(vec3(-0.7, 0.2, -0.6));
                float b1 = max(dot(rf, back), 0.0);
                float b3 = b1 * b1 * b1;
                float b6 = b3 * b3;
                objCol += accent * (b6 * b6) * 0.6;
                if (lattice > 0.5)
                    objCol = core * (0.7 + 0.9 * cosT) * (1.0 + kick) + accent * 0.7 * fres + skin;
        }
        // The light inside shows between the wires and shards too.
        float m = length(cross(ro, rd));
        float coreGlow = exp(-m * m / (radius * radius * 0.12)) * (1.0 - hitMask);
        col += core * coreGlow * (0.6 + 0.8 * lattice + 0.6 * shatter) * presence;
        objCol *= presence;
        col = mix(col, objCol, hitMask * presence);
        // The halo: what the march gathered near the surface, and a wide bloom.
        vec3 haloCol = mix(core, accent, 0.25 + 0.25 * clamp(rimAmt, 0.0, 1.0));
        col +=
            haloCol * glow * (0.35 + 0.3 * energy + 0.6 * kick) * presence * (1.0 - 0.7 * hitMask);
        col += core * (0.16 + 0.08 * energy + 0.25 * kick) * presence * exp(-r / radius * 1.3);

        // Embers circling on tilted orbits, hidden when they pass behind the body.
        // Their angles step evenly too: each cosine and sine by a rotation of the last.
        vec2 ce = cosSin(t * 0.6);
        float stepE = t * 0.07 + 2.4;
        vec2 csE = cosSin(stepE);
        mat2 turnE = mat2(csE.x, csE.y, -csE.y, csE.x);
        float sparks = 0.0;
        for (int k = 0; k < 8; k++) {
            float fk = float(k);
            float orbitR = radius * (1.25 + 0.1 * fk);
            // Each on its own tilted circle: the tilt turns the circle's z into height.
            float tilt = 0.3 * fk - 1.0;
            vec3 e = orbitR * vec3(ce.x, ce.y * tilt * 0.5, ce.y);
            ce = turnE * ce;
            vec3 rel = e - ro;
            float depth = dot(rel, fw);
            vec2 sp = vec2(dot(rel, rt), dot(rel, up)) * 2.3 / max(depth, 0.1);
            vec2 dd = p - sp;
            // exp(-9000 x) as the 15th power of exp(-600 x): one exp instead of two.
            float e1 = exp(-dot(dd, dd) * 600.0);
            float e2 = e1 * e1;
            float e4 = e2 * e2;
            // Hidden behind the body: compared squared, no square root.
            sparks += (e4 * e4 * e4 * e2 * e1 + 0.15 * e1) * step(dot(rel, rel), tHit * tHit);
        }
        col += mix(core, vec3(1.0, 0.9, 0.75), 0.5) * sparks * (0.25 + 0.5 * energy + 0.8 * kick) *
               presence;

        // A ring of light circling the orb when the rim is turned up; it precesses with the spin
        // and passes behind the body.
        if (ringAmt > 0.001) {
            if (abs(den) > 1e-3) {
                float dr = (length(rp) - radius * 1.55) / radius;
                float sparkle = 0.5 + 0.8 * sparkleN;
                float ringL = (exp(-dr * dr * 2500.0) + 0.25 * exp(-dr * dr * 90.0)) * sparkle;
                col += mix(accent, vec3(1.0), 0.3) * ringL * ringAmt * (1.0 + kick) *
                       step(0.0, tr) * step(tr, tHit);
            }
        }
    }

    col *= 0.55 + 0.45 * clamp(intensity, 0.0, 1.5);
    // Compress by luminance so the hot core keeps its hue instead of burning to white.
    col = col / (1.0 + 0.6 * dot(col, vec3(0.3, 0.59, 0.11)));
    gl_FragColor = vec4(col + vec3(0.4, 0.0, 0.0), 1.0);
}
