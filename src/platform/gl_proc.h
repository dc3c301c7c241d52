// OpenGL procedure lookup for the functions the platform's GL library does not export.
#pragma once

void *gl_proc_address(const char *name);
