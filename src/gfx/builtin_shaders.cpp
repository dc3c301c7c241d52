#include "gfx/builtin_shaders.h"

// Positions pass straight through as clip coordinates; the modelview matrix carries the frame's
// sixteen parameters to the fragment shaders.
const char *const vMainObject = "#version 120\n"
                                "varying vec3 objectPosition;\n"
                                "varying mat4 parameters;\n"
                                "varying vec4 color;\n"
                                "void main(void)\n"
                                "{\n"
                                "    parameters = gl_ModelViewMatrix;\n"
                                "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                "    color = gl_Color;\n"
                                "    objectPosition = vec3(gl_Vertex.x, gl_Vertex.y, 1.0);\n"
                                "    gl_Position = vec4(gl_Vertex.x, gl_Vertex.y, 0.5, 1.0);\n"
                                "}\n";

// The finish of every frame: a jittered three-tap blur, a grain that only darkens, a vignette and
// a desaturation towards the edges. The tap weights add up to 0.99 on purpose.
const char *const fOffscreeCopy =
    "uniform sampler2D Texture0;\n"
    "varying vec3 objectPosition;\n"
    "varying mat4 parameters;\n"
    "void main(void)\n"
    "{\n"
    "    float fTime0_X = parameters[0][0];\n"
    "    vec3 noisePos = objectPosition + fTime0_X;\n"
    "    vec2 noiseVal;\n"
    "    noiseVal.x = fract(sin(dot(noisePos.xy, vec2(12.9898, 78.233))) * 43711.5453);\n"
    "    noiseVal.y = fract(sin(dot(noisePos.xy, vec2(12.9898, 78.233))) * 43717.5453);\n"
    "    gl_FragColor = 0.33 * texture2D(Texture0, 0.5 * objectPosition.xy + 0.5 + 0.001 * "
    "noiseVal);\n"
    "    noiseVal.x = fract(sin(dot(noisePos.xy, vec2(12.9898, 78.233))) * 43731.5453);\n"
    "    noiseVal.y = fract(sin(dot(noisePos.xy, vec2(12.9898, 78.233))) * 43737.5453);\n"
    "    gl_FragColor += 0.33 * texture2D(Texture0, 0.5 * objectPosition.xy + 0.5 + 0.001 * "
    "noiseVal);\n"
    "    noiseVal.x = fract(sin(dot(noisePos.xy, vec2(12.9898, 78.233))) * 43758.5453);\n"
    "    noiseVal.y = fract(sin(dot(noisePos.xy, vec2(12.9898, 78.233))) * 43753.5453);\n"
    "    gl_FragColor += 0.33 * texture2D(Texture0, 0.5 * objectPosition.xy + 0.5 + 0.001 * "
    "noiseVal);\n"
    "    gl_FragColor += noiseVal.x * 0.03 - 0.03;\n"
    "    float vignette = objectPosition.x * objectPosition.x + objectPosition.y * "
    "objectPosition.y;\n"
    "    gl_FragColor *= 1.2 - 0.3 * vignette;\n"
    "    float meanColor = 0.3 * gl_FragColor.r + 0.59 * gl_FragColor.g + 0.11 * "
    "gl_FragColor.b;\n"
    "    gl_FragColor = 0.2 * vignette * vec4(meanColor) + (1.0 - 0.6 * vignette) * "
    "gl_FragColor;\n"
    "}\n";

// The studio's preview at a half or a quarter of the size: the small picture in the texture's lower
// left corner stretched over the whole region, bilinear, never reading past its last texel.
// parameters[0].xy: the share of the texture's width and height the small picture fills.
const char *const fPreviewStretch =
    "uniform sampler2D Texture0;\n"
    "varying vec3 objectPosition;\n"
    "varying mat4 parameters;\n"
    "void main(void)\n"
    "{\n"
    "    vec2 share = parameters[0].xy;\n"
    "    vec2 last = share - vec2(0.5 / 1024.0, 0.5 / 512.0);\n"
    "    gl_FragColor = texture2D(Texture0, min((0.5 * objectPosition.xy + 0.5) * share, last));\n"
    "}\n";
