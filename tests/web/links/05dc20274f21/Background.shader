#version 120
// Scene 2: the wisp flies out over a starfield and a faint nebula. Slot 0 is 3 sqrt(a) for local
// time a, slot 3 the fade-in, slots 8 and 9 the wisp's position, slots 12 and 13 its heading.
// The view follows the wisp; its trail retraces the path the scene script moves it along.
uniform sampler2D noiseTexture;
varying vec3 objectPosition;
varying mat4 parameters;

// The scene script's path: a circle of radius 1.6 turning at 0.3 rad/s that drifts down.
vec2 path(float a)
{
    return vec2(1.6 * sin(0.3 * a), 1.6 * cos(0.3 * a) - 0.25 * a);
}

// One star per cell at most: a cheap arithmetic hash is enough for a sparse field.
vec3 cellHash(vec2 cell)
{
    vec3 h = fract(vec3(cell.xyx) * vec3(0.1031, 0.1030, 0.0973));
    h += dot(h, h.yzx + 33.33);
    return fract((h.xxy + h.yzz) * h.zyx);
}

float stars(vec2 q, float density, float twinkleTime)
{
    vec2 cell = floor(q * density);
    vec3 h = cellHash(cell);
    vec2 centre = (cell + 0.2 + 0.6 * h.xy) / density;
    vec2 d = (q - centre) * density;
    // Small against the cell, so that no star is cut off at the cell's edge.
    float size = 0.02 + 0.05 * h.z * h.z;
    float twinkle = 0.6 + 0.4 * sin(twinkleTime * (1.5 + 3.0 * h.x) + 6.2831 * h.y);
    return step(0.62, h.z) * twinkle * (h.z - 0.5) * 2.0 * exp(-dot(d, d) / (size * size));
}

void main(void)
{
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float slowTime = parameters[0][0];
    float a = slowTime * slowTime / 9.0;
    float fade = clamp(parameters[0][3], 0.0, 1.0);
    vec2 wisp = vec2(parameters[2][0], parameters[2][1]);
    vec2 heading = vec2(parameters[3][0], parameters[3][1]);
    float headingLength = length(heading);
    heading = headingLength > 0.0001 ? heading / headingLength : vec2(1.0, 0.0);

    // The camera sits a little behind the wisp, so the wisp leads and the trail crosses the
    // middle of the frame.
    float zoom = 1.05;
    vec2 camera = wisp - 0.22 * heading;
    vec2 w = camera + p * zoom;

    // Nebula: a warped veil far behind (it barely moves with the camera).
    vec2 far = p * zoom + camera * 0.12;
    vec2 warp = texture2D(noiseTexture, far * 0.045 + vec2(0.013, 0.37)).rg - 0.5;
    float cloud = texture2D(noiseTexture, far * 0.07 + warp * 0.12).b;
    cloud += 0.5 * texture2D(noiseTexture, far * 0.16 - warp * 0.2 + 0.5).a;
    cloud += 0.25 * texture2D(noiseTexture, far * 0.37 + warp * 0.3).r;
    cloud = smoothstep(0.66, 1.3, cloud);
    float tint = texture2D(noiseTexture, far * 0.03 + vec2(0.71, 0.19)).g;
    vec3 nebula = mix(vec3(0.2, 0.08, 0.36), vec3(0.04, 0.2, 0.38), smoothstep(0.4, 0.65, tint));
    nebula = mix(nebula, vec3(0.35, 0.14, 0.2), smoothstep(0.55, 0.75, warp.x + 0.5) * 0.5);
    vec3 sky = mix(vec3(0.018, 0.014, 0.05), vec3(0.006, 0.005, 0.02), 0.5 + 0.25 * p.y);
    vec3 backdrop = sky + nebula * cloud * 1.9;

    // Stars in three layers, the nearer ones moving faster past the camera.
    vec3 starLight = vec3(0.0);
    starLight += vec3(0.6, 0.62, 0.8) * stars(p * zoom + camera * 0.25, 9.0, slowTime * 2.0);
    starLight += vec3(0.8, 0.75, 0.7) * stars(p * zoom + camera * 0.5 + 3.7, 6.0, slowTime * 2.6);
    starLight += vec3(0.75, 0.8, 1.0) * stars(p * zoom + camera * 0.85 + 7.1, 3.5, slowTime * 3.1);
    backdrop += starLight * (0.4 + 0.6 * cloud);
    // The fade-in brings up the sky; the wisp is there from the first frame.
    vec3 colour = backdrop * fade;

    // The trail: the last 3.2 s of the path, shorter while the wisp has only just set out.
    float span = min(3.2, max(a, 0.0));
    vec2 head = path(a);
    vec2 previous = wisp;
    float nearest = 1e4;
    float age = 1.0;
    for (int i = 1; i <= 14; ++i) {
        float s = span * float(i) / 14.0;
        vec2 point = wisp + path(a - s) - head;
        vec2 segment = point - previous;
        float along = clamp(dot(w - previous, segment) / max(dot(segment, segment), 1e-6), 0.0, 1.0);
        vec2 off = w - previous - segment * along;
        float d2 = dot(off, off);
        if (d2 < nearest) {
            nearest = d2;
            age = (float(i) - 1.0 + along) / 14.0;
        }
        previous = point;
    }
    age = span > 0.001 ? age : 1.0;
    float width = 0.014 + 0.1 * age;
    float shimmer = texture2D(noiseTexture, vec2(age * 1.7 - slowTime * 0.35, 0.43)).r;
    float trail = pow(1.0 - age, 1.5) * exp(-nearest / (width * width)) * (0.45 + shimmer);
    vec3 trailColour = mix(vec3(1.0, 0.62, 0.25), vec3(0.55, 0.25, 0.6), age);
    colour += trailColour * trail * 0.8;
    // Sparks shed along the trail: a dense star layer lit only close to it.
    float shed = stars(w + 11.3, 16.0, slowTime * 9.0);
    colour += vec3(1.0, 0.78, 0.5) * shed * exp(-nearest * 12.0) * (1.0 - age) * 1.6;

    // The wisp itself, lighting the nebula around it.
    vec2 toWisp = w - wisp;
    float r2 = dot(toWisp, toWisp);
    float pulse = 0.9 + 0.1 * sin(slowTime * 7.0);
    colour += vec3(0.4, 0.25, 0.35) * nebula * cloud * exp(-r2 * 3.0) * (0.5 + fade);
    colour += vec3(1.0, 0.6, 0.25) * 0.05 * pulse / (r2 * 8.0 + 0.08);
    colour += vec3(1.0, 0.86, 0.62) * exp(-r2 * 700.0) * 0.5;
    // A thin flare across the head.
    vec2 flare = abs(toWisp);
    colour += vec3(1.0, 0.7, 0.4) * exp(-flare.y * 160.0 - flare.x * 5.0) * 0.35 * pulse;
    gl_FragColor = vec4(max(colour, vec3(0.0)), 1.0);
}
