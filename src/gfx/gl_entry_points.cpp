#include "gfx/gl_entry_points.h"

#include "platform/gl_proc.h"

#include <cstdio>
#include <cstring>

const char *const GlEntryPointNames[GL_ENTRY_COUNT] = {
    "glCreateShader", "glCreateProgram",    "glShaderSource",  "glCompileShader",
    "glAttachShader", "glLinkProgram",      "glUseProgram",    "glTexImage3D",
    "glGetShaderiv",  "glGetShaderInfoLog", "glDeleteProgram", "glDeleteShader"};

void *GlEntryPoints[GL_ENTRY_COUNT] = {};

static const char *const GlToolEntryPointNames[GL_TOOL_COUNT] = {"glGenFramebuffers",
                                                                 "glBindFramebuffer",
                                                                 "glDeleteFramebuffers",
                                                                 "glGenRenderbuffers",
                                                                 "glBindRenderbuffer",
                                                                 "glDeleteRenderbuffers",
                                                                 "glRenderbufferStorage",
                                                                 "glFramebufferRenderbuffer",
                                                                 "glCheckFramebufferStatus",
                                                                 "glGetProgramiv",
                                                                 "glGetProgramInfoLog",
                                                                 "glGenBuffers",
                                                                 "glBindBuffer",
                                                                 "glBufferData",
                                                                 "glMapBuffer",
                                                                 "glUnmapBuffer",
                                                                 "glDeleteBuffers"};

void *GlToolEntryPoints[GL_TOOL_COUNT] = {};

static int fetch_table(const char *const *names, void **table, int count, const char *suffix,
                       char *missing, int missing_size) {
    int absent = 0;
    size_t used = 0;
    if (missing_size > 0) missing[0] = 0;
    for (int i = 0; i < count; ++i) {
        table[i] = gl_proc_address(names[i]);
        if (!table[i] && suffix) {
            char other[64];
            std::snprintf(other, sizeof other, "%s%s", names[i], suffix);
            table[i] = gl_proc_address(other);
        }
        if (table[i]) continue;
        ++absent;
        size_t name = std::strlen(names[i]);
        if (used + name + 3 > static_cast<size_t>(missing_size)) continue;
        if (used) missing[used++] = ',', missing[used++] = ' ';
        std::memcpy(missing + used, names[i], name + 1);
        used += name;
    }
    return absent;
}

int fetch_gl_entry_points(char *missing, int missing_size) {
    return fetch_table(GlEntryPointNames, GlEntryPoints, GL_ENTRY_COUNT, nullptr, missing,
                       missing_size);
}

int fetch_gl_tool_entry_points(char *missing, int missing_size) {
    return fetch_table(GlToolEntryPointNames, GlToolEntryPoints, GL_TOOL_COUNT, "EXT", missing,
                       missing_size);
}
