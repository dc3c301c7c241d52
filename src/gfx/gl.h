// OpenGL 1.1 and GLU headers, plus the enumerants and types of the 2.0 functions fetched at run
// time.
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
#define WIN32_LEAN_AND_MEAN
#include <windows.h> // the system GL headers need its calling-convention macros
#endif
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glext.h>
