#version 120
// Volumetric clouds at dusk: a slab of cloud between two heights, marched in a few steps and lit
// by a sun just above the horizon. Slot 0 is the time (the wind). No scene draws it.
uniform sampler2D noiseTexture;
varying vec3 objectPosition;
varying mat4 parameters;

const float CloudBase = 1.2;
const float CloudTop = 2.4;
const int Steps = 10;

// The first octave alone: enough for the light that reaches a sample.
float coarse(vec3 q, float wind)
{
    vec2 uv = q.xz * 0.045 + vec2(wind, 0.0) + q.y * vec2(0.031, 0.017);
    float h = clamp((q.y - CloudBase) / (CloudTop - CloudBase), 0.0, 1.0);
    return max(texture2D(noiseTexture, uv).r * 4.0 * h * (1.0 - h) - 0.25, 0.0) * 3.5;
}

// Cloud density at a point: two octaves of the tiling noise, sheared with height so that the
// slab is not the same picture at every level; thinner towards its top and bottom.
float density(vec3 q, float wind)
{
    vec2 uv = q.xz * 0.045 + vec2(wind, 0.0) + q.y * vec2(0.031, 0.017);
    float n = texture2D(noiseTexture, uv).r * 0.65;
    n += texture2D(noiseTexture, uv * 3.1 + vec2(0.0, wind * 1.7)).g * 0.35;
    float h = clamp((q.y - CloudBase) / (CloudTop - CloudBase), 0.0, 1.0);
    float shape = 4.0 * h * (1.0 - h);
    return max(n * shape - 0.33, 0.0) * 3.5;
}

void main(void)
{
    vec2 p = objectPosition.xy * vec2(2.0, 1.0);
    float wind = parameters[0][0] * 0.004;
    vec3 sun = normalize(vec3(0.25, 0.09, 1.0));
    vec3 ray = normalize(vec3(p.x * 0.75, p.y * 0.75 + 0.22, 1.0));
    float toSun = max(dot(ray, sun), 0.0);

    // Dusk sky: amber at the horizon through rose to violet overhead.
    float up = max(ray.y, 0.0);
    vec3 sky = mix(vec3(0.95, 0.5, 0.22), vec3(0.55, 0.25, 0.35), smoothstep(0.0, 0.18, up));
    sky = mix(sky, vec3(0.12, 0.08, 0.26), smoothstep(0.12, 0.55, up));
    sky += vec3(1.0, 0.6, 0.3) * pow(toSun, 60.0) * 0.9 + vec3(1.0, 0.5, 0.2) * pow(toSun, 6.0) * 0.25;

    vec3 colour = sky;
    if (ray.y > 0.01) {
        // March the slab from its base to its top along the ray.
        float near = CloudBase / ray.y;
        float far = min(CloudTop / ray.y, near + 14.0);
        float stepLength = (far - near) / float(Steps);
        float jitter = fract(dot(gl_FragCoord.xy, vec2(0.06711, 0.00583)) * 52.98);
        float transmittance = 1.0;
        vec3 light = vec3(0.0);
        for (int i = 0; i < Steps; ++i) {
            vec3 q = ray * (near + (float(i) + jitter) * stepLength);
            float d = density(q, wind);
            if (d > 0.0) {
                // Light reaching the sample: how much cloud lies a short way towards the sun.
                float shadow = coarse(q + sun * 0.5, wind);
                float lit = exp(-shadow * 1.6);
                vec3 tint = mix(vec3(0.2, 0.12, 0.25), vec3(1.0, 0.62, 0.35), lit);
                tint += vec3(1.0, 0.55, 0.25) * pow(toSun, 8.0) * lit * 0.8;
                float absorbed = 1.0 - exp(-d * stepLength * 0.9);
                light += transmittance * absorbed * tint;
                transmittance *= 1.0 - absorbed;
            }
        }
        // Far cloud melts into the sky haze.
        float haze = exp(-near * 0.05);
        colour = mix(sky, sky * transmittance + light, haze);
    }

    // Low hills against the glow, their ridge traced from the noise; dark land below.
    float across = ray.x / ray.z;
    float swell = texture2D(noiseTexture, vec2(across * 0.07 + 0.3, 0.61)).g;
    float ridge = 0.005 + 0.08 * smoothstep(0.35, 0.85, swell) +
                  0.02 * texture2D(noiseTexture, vec2(across * 0.31 + 0.7, 0.13)).b;
    if (ray.y < ridge) {
        float below = ridge - ray.y;
        colour = mix(vec3(0.16, 0.08, 0.1), vec3(0.02, 0.02, 0.04), smoothstep(0.0, 0.06, below));
        colour += vec3(0.7, 0.35, 0.15) * exp(-below * 250.0) * 0.3 * (0.4 + toSun);
    }
    gl_FragColor = vec4(colour, 1.0);
}
