// The headless WGL context with the GL lookup through it, and the music calls with no music.
#include "check.h"
#include "platform/audio.h"
#include "platform/gl_proc.h"
#include "platform/headless_context.h"
#include "platform/window.h"
#include "platform/win32/win32_internals.h"

#include <GL/gl.h>

static void headless_context() {
    CHECK(headless_context_init(64, 32) == 1);
    CHECK(wglGetCurrentContext() != nullptr);
    CHECK(WindowWidth == 64 && WindowHeight == 32);
    CHECK(glGetString(GL_VERSION) != nullptr);
    // The 2.0 entry points come through wglGetProcAddress; an unknown name comes back null.
    CHECK(gl_proc_address("glCreateShader") != nullptr);
    CHECK(gl_proc_address("glTexImage3D") != nullptr);
    CHECK(gl_proc_address("glNoSuchFunction") == nullptr);
    headless_context_end();
    CHECK(wglGetCurrentContext() == nullptr);
    // A second context after the first is gone: the class was unregistered with it.
    CHECK(headless_context_init(16, 16) == 1);
    headless_context_end();
}

static void silent_music() {
    audio_init(-1, 44100, 0, nullptr, nullptr);
    AudioStream stream = audio_stream_create_file(0, "data/no-such-tune.mp3", 0, 0, 0);
    CHECK(stream == 0);
    // The demo makes these calls on whatever the create call returned; 0 must be harmless.
    CHECK(audio_channel_play(stream, 1) == 0);
    CHECK(audio_start() == 1);
    CHECK(audio_channel_stop(stream) == 0);
    CHECK(audio_stream_free(stream) == 0);
    CHECK(audio_free() == 1);
}

void context_checks() {
    headless_context();
    silent_music();
}
