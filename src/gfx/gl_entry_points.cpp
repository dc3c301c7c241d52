#include "gfx/gl_entry_points.h"

#include "platform/gl_proc.h"

#include <cstring>

const char *const GlEntryPointNames[GL_ENTRY_COUNT] = {
    "glCreateShader", "glCreateProgram",    "glShaderSource",  "glCompileShader",
    "glAttachShader", "glLinkProgram",      "glUseProgram",    "glTexImage3D",
    "glGetShaderiv",  "glGetShaderInfoLog", "glDeleteProgram", "glDeleteShader"};

void *GlEntryPoints[GL_ENTRY_COUNT] = {};

int fetch_gl_entry_points(char *missing, int missing_size) {
    int count = 0;
    size_t used = 0;
    if (missing_size > 0) missing[0] = 0;
    for (int i = 0; i < GL_ENTRY_COUNT; ++i) {
        GlEntryPoints[i] = gl_proc_address(GlEntryPointNames[i]);
        if (GlEntryPoints[i]) continue;
        ++count;
        size_t name = std::strlen(GlEntryPointNames[i]);
        if (used + name + 3 > static_cast<size_t>(missing_size)) continue;
        if (used) missing[used++] = ',', missing[used++] = ' ';
        std::memcpy(missing + used, GlEntryPointNames[i], name + 1);
        used += name;
    }
    return count;
}
