#include "gfx/gl_entry_points.h"

#include "platform/gl_proc.h"

#include <cstdio>

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

static bool fetch_table(const char *const *names, void **table, int count, const char *suffix,
                        std::string &missing) {
    missing.clear();
    for (int i = 0; i < count; ++i) {
        table[i] = gl_proc_address(names[i]);
        if (!table[i] && suffix) {
            char other[64];
            std::snprintf(other, sizeof other, "%s%s", names[i], suffix);
            table[i] = gl_proc_address(other);
        }
        if (table[i]) continue;
        if (!missing.empty()) missing += ", ";
        missing += names[i];
    }
    return missing.empty();
}

bool fetch_gl_entry_points(std::string &missing) {
    return fetch_table(GlEntryPointNames, GlEntryPoints, GL_ENTRY_COUNT, nullptr, missing);
}

bool fetch_gl_tool_entry_points(std::string &missing) {
    return fetch_table(GlToolEntryPointNames, GlToolEntryPoints, GL_TOOL_COUNT, "EXT", missing);
}
